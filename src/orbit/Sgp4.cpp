#include "orbit/Sgp4.h"

#include <cmath>

// Most names are the symbols of the two papers (no, cc1, xlcof, ...), so
// that each line can be checked against its equation.

namespace tavik {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;
constexpr double RadPerDeg = Pi / 180;
constexpr double MinutesPerDay = 1440;
constexpr double TwoThirds = 2.0 / 3.0;

// WGS-72: the element sets are fitted with these, not with WGS-84.
constexpr double Mu = 398600.8;          // km^3 / s^2
constexpr double EarthRadius = 6378.135; // km
constexpr double J2 = 0.001082616;
constexpr double J3 = -0.00000253881;
constexpr double J4 = -0.00000165597;
constexpr double J3OverJ2 = J3 / J2;
// sqrt(mu) in Earth radii^1.5 per minute, and the unit of velocity.
const double Xke = 60.0 / std::sqrt(EarthRadius * EarthRadius * EarthRadius / Mu);
const double KmPerSecond = EarthRadius * Xke / 60.0;

// The Earth's rotation, radians per minute.
constexpr double EarthRotation = 4.37526908801129966e-3;

// The Sun's and the Moon's apparent orbits.
constexpr double SunAnomalyRate = 1.19459e-5;    // zns, radians per minute
constexpr double SunEccentricity = 0.01675;      // zes
constexpr double SunPull = 2.9864797e-6;         // c1ss
constexpr double MoonAnomalyRate = 1.5835218e-4; // znl
constexpr double MoonEccentricity = 0.05490;     // zel
constexpr double MoonPull = 4.7968065e-7;        // c1l

// Below about 3 degrees from the equator or the poles the node's rates
// from the Sun and the Moon are left out: they divide by sin i.
constexpr double PolarOrEquatorial = 5.2359877e-2;

// Beyond this the resonance integration, 720 minutes a step, would run for
// hours; no element set is fitted for a span even near it.
constexpr double LongestSpan = 1e10; // minutes

// Greenwich mean sidereal angle (IAU 1982), radians 0 up to 2 pi, at the
// Julian date jdut1.
double GreenwichSidereal(double jdut1)
{
    const double tut1 = (jdut1 - 2451545.0) / 36525.0;
    double seconds =
        -6.2e-6 * tut1 * tut1 * tut1 + 0.093104 * tut1 * tut1 + (876600.0 * 3600 + 8640184.812866) * tut1 + 67310.54841;
    double angle = std::fmod(seconds * RadPerDeg / 240.0, TwoPi);
    if (angle < 0) angle += TwoPi;
    return angle;
}

// Julian date of January 0.0 (December 31, 0h UT) of a year from 1901 to 2099.
double JulianDateOfJanuary0(int year) { return 367.0 * year - std::floor(7.0 * year * 0.25) + 1721043.5; }

// The orientation terms of one perturbing body against the orbit (the
// revision's s1..s7 and z1..z33), from the body's orbit angles.
struct BodyTerms {
    double S1, S2, S3, S4, S5, S6, S7;
    double Z1, Z2, Z3, Z11, Z12, Z13, Z21, Z22, Z23, Z31, Z32, Z33;
};

struct OrbitAngles {
    double CosI, SinI, CosW, SinW; // inclination and argument of perigee
    double Ecc, EccSq, BetaSq, RootBetaSq, InverseMotion;
};

BodyTerms TermsOf(double zcosg, double zsing, double zcosi, double zsini, double zcosh, double zsinh, double pull,
                  const OrbitAngles& o)
{
    const double a1 = zcosg * zcosh + zsing * zcosi * zsinh;
    const double a3 = -zsing * zcosh + zcosg * zcosi * zsinh;
    const double a7 = -zcosg * zsinh + zsing * zcosi * zcosh;
    const double a8 = zsing * zsini;
    const double a9 = zsing * zsinh + zcosg * zcosi * zcosh;
    const double a10 = zcosg * zsini;
    const double a2 = o.CosI * a7 + o.SinI * a8;
    const double a4 = o.CosI * a9 + o.SinI * a10;
    const double a5 = -o.SinI * a7 + o.CosI * a8;
    const double a6 = -o.SinI * a9 + o.CosI * a10;

    const double x1 = a1 * o.CosW + a2 * o.SinW;
    const double x2 = a3 * o.CosW + a4 * o.SinW;
    const double x3 = -a1 * o.SinW + a2 * o.CosW;
    const double x4 = -a3 * o.SinW + a4 * o.CosW;
    const double x5 = a5 * o.SinW;
    const double x6 = a6 * o.SinW;
    const double x7 = a5 * o.CosW;
    const double x8 = a6 * o.CosW;

    BodyTerms b;
    b.Z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
    b.Z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
    b.Z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
    b.Z1 = 3.0 * (a1 * a1 + a2 * a2) + b.Z31 * o.EccSq;
    b.Z2 = 6.0 * (a1 * a3 + a2 * a4) + b.Z32 * o.EccSq;
    b.Z3 = 3.0 * (a3 * a3 + a4 * a4) + b.Z33 * o.EccSq;
    b.Z11 = -6.0 * a1 * a5 + o.EccSq * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
    b.Z12 = -6.0 * (a1 * a6 + a3 * a5) + o.EccSq * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
    b.Z13 = -6.0 * a3 * a6 + o.EccSq * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
    b.Z21 = 6.0 * a2 * a5 + o.EccSq * (24.0 * x1 * x5 - 6.0 * x3 * x7);
    b.Z22 = 6.0 * (a4 * a5 + a2 * a6) + o.EccSq * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
    b.Z23 = 6.0 * a4 * a6 + o.EccSq * (24.0 * x2 * x6 - 6.0 * x4 * x8);
    b.Z1 = b.Z1 + b.Z1 + o.BetaSq * b.Z31;
    b.Z2 = b.Z2 + b.Z2 + o.BetaSq * b.Z32;
    b.Z3 = b.Z3 + b.Z3 + o.BetaSq * b.Z33;
    b.S3 = pull * o.InverseMotion;
    b.S2 = -0.5 * b.S3 / o.RootBetaSq;
    b.S4 = b.S3 * o.RootBetaSq;
    b.S1 = -15.0 * o.Ecc * b.S4;
    b.S5 = x1 * x3 + x2 * x4;
    b.S6 = x2 * x3 + x1 * x4;
    b.S7 = x2 * x4 - x1 * x3;
    return b;
}

// The secular rates one body gives: eccentricity, inclination, mean
// anomaly, argument of perigee plus node, node times sin i.
struct BodyRates {
    double E, I, M, Gh, H;
};

BodyRates RatesOf(const BodyTerms& b, double rate, double eccSq)
{
    BodyRates r;
    r.E = b.S1 * rate * b.S5;
    r.I = b.S2 * rate * (b.Z11 + b.Z13);
    r.M = -rate * b.S3 * (b.Z1 + b.Z3 - 14.0 - 6.0 * eccSq);
    r.Gh = b.S4 * rate * (b.Z31 + b.Z33 - 6.0);
    r.H = -rate * b.S2 * (b.Z21 + b.Z23);
    return r;
}

} // namespace

std::string_view Sgp4StopText(Sgp4Stop stop)
{
    switch (stop) {
    case Sgp4Stop::None: return "";
    case Sgp4Stop::MeanEccentricity: return "the mean eccentricity went out of range";
    case Sgp4Stop::MeanMotion: return "the mean motion is not above 0";
    case Sgp4Stop::PerturbedEccentricity:
        return "the eccentricity went out of range under the Sun's and the Moon's pull";
    case Sgp4Stop::SemiLatusRectum: return "the semi-latus rectum went negative";
    case Sgp4Stop::Decayed: return "the satellite has sunk below the Earth's surface";
    case Sgp4Stop::BadInput: return "an element or the time is not a finite number or out of range";
    case Sgp4Stop::NotFinite: return "the position came out not a finite number";
    }
    return "unknown stop";
}

Sgp4::Sgp4(const ElementSet& el)
{
    const double given[] = {el.Epoch,      el.Inclination, el.RAAN,       el.Eccentricity,
                            el.ArgPerigee, el.MeanAnomaly, el.MeanMotion, el.BStar};
    for (double v : given) {
        if (!std::isfinite(v)) {
            epochStop_ = Sgp4Stop::BadInput;
            return;
        }
    }
    const double yy = std::floor(el.Epoch / 1000);
    const int epochYear = yy >= 0 && yy < 100 ? static_cast<int>(yy) + (yy < 57 ? 2000 : 1900) : 0;
    const double epochDay = el.Epoch - yy * 1000;
    if (epochYear == 0 || epochDay < 0 || epochDay > 367) {
        epochStop_ = Sgp4Stop::BadInput;
        return;
    }
    if (!(el.MeanMotion > 0)) {
        epochStop_ = Sgp4Stop::MeanMotion;
        return;
    }
    if (el.Eccentricity < 0 || el.Eccentricity >= 1) {
        epochStop_ = Sgp4Stop::MeanEccentricity;
        return;
    }

    ecco_ = el.Eccentricity;
    inclo_ = el.Inclination * RadPerDeg;
    nodeo_ = el.RAAN * RadPerDeg;
    argpo_ = el.ArgPerigee * RadPerDeg;
    mo_ = el.MeanAnomaly * RadPerDeg;
    bstar_ = el.BStar;
    const double kozaiMotion = el.MeanMotion * TwoPi / MinutesPerDay; // radians per minute

    // The epoch as a Julian date and in days from 1950 January 0.0, the
    // origin of the Sun's and the Moon's angles.
    const double julianDate = JulianDateOfJanuary0(epochYear) + epochDay;
    const double epoch1950 = julianDate - 2433281.5;
    gsto_ = GreenwichSidereal(julianDate);

    // The element sets give Kozai's mean motion; SGP4 works with Brouwer's.
    const double eccsq = ecco_ * ecco_;
    const double omeosq = 1.0 - eccsq;
    const double rteosq = std::sqrt(omeosq);
    cosio_ = std::cos(inclo_);
    sinio_ = std::sin(inclo_);
    const double cosio2 = cosio_ * cosio_;
    const double ak = std::pow(Xke / kozaiMotion, TwoThirds);
    const double d1 = 0.75 * J2 * (3.0 * cosio2 - 1.0) / (rteosq * omeosq);
    double del = d1 / (ak * ak);
    const double adel = ak * (1.0 - del * del - del * (1.0 / 3.0 + 134.0 * del * del / 81.0));
    del = d1 / (adel * adel);
    no_ = kozaiMotion / (1.0 + del);
    if (!(no_ > 0) || !std::isfinite(no_)) {
        epochStop_ = Sgp4Stop::MeanMotion;
        return;
    }

    const double ao = std::pow(Xke / no_, TwoThirds);
    const double po = ao * omeosq;
    const double con42 = 1.0 - 5.0 * cosio2;
    con41_ = -con42 - cosio2 - cosio2;
    const double posq = po * po;
    const double rp = ao * (1.0 - ecco_); // perigee, Earth radii

    // Drag: the density function's s and (q0 - s)^4, with s lowered for
    // perigees under 156 km.
    simpleDrag_ = rp < (220.0 / EarthRadius + 1.0);
    double sfour = 78.0 / EarthRadius + 1.0;
    const double q0ms = (120.0 - 78.0) / EarthRadius;
    double qzms24 = q0ms * q0ms * q0ms * q0ms;
    const double perigeeHeight = (rp - 1.0) * EarthRadius; // km
    if (perigeeHeight < 156.0) {
        sfour = perigeeHeight < 98.0 ? 20.0 : perigeeHeight - 78.0;
        const double q = (120.0 - sfour) / EarthRadius;
        qzms24 = q * q * q * q;
        sfour = sfour / EarthRadius + 1.0;
    }
    const double pinvsq = 1.0 / posq;
    const double tsi = 1.0 / (ao - sfour);
    eta_ = ao * ecco_ * tsi;
    const double etasq = eta_ * eta_;
    const double eeta = ecco_ * eta_;
    const double psisq = std::fabs(1.0 - etasq);
    const double coef = qzms24 * std::pow(tsi, 4.0);
    const double coef1 = coef / std::pow(psisq, 3.5);
    const double cc2 = coef1 * no_
                       * (ao * (1.0 + 1.5 * etasq + eeta * (4.0 + etasq))
                          + 0.375 * J2 * tsi / psisq * con41_ * (8.0 + 3.0 * etasq * (8.0 + etasq)));
    cc1_ = bstar_ * cc2;
    // Below an eccentricity of 1e-4 the terms that divide by it are left out.
    double cc3 = 0;
    if (ecco_ > 1.0e-4) cc3 = -2.0 * coef * tsi * J3OverJ2 * no_ * sinio_ / ecco_;
    x1mth2_ = 1.0 - cosio2;
    cc4_ = 2.0 * no_ * coef1 * ao * omeosq
           * (eta_ * (2.0 + 0.5 * etasq) + ecco_ * (0.5 + 2.0 * etasq)
              - J2 * tsi / (ao * psisq)
                    * (-3.0 * con41_ * (1.0 - 2.0 * eeta + etasq * (1.5 - 0.5 * eeta))
                       + 0.75 * x1mth2_ * (2.0 * etasq - eeta * (1.0 + etasq)) * std::cos(2.0 * argpo_)));
    cc5_ = 2.0 * coef1 * ao * omeosq * (1.0 + 2.75 * (etasq + eeta) + eeta * etasq);

    // Secular rates from J2 and J4.
    const double cosio4 = cosio2 * cosio2;
    const double temp1 = 1.5 * J2 * pinvsq * no_;
    const double temp2 = 0.5 * temp1 * J2 * pinvsq;
    const double temp3 = -0.46875 * J4 * pinvsq * pinvsq * no_;
    mdot_ = no_ + 0.5 * temp1 * rteosq * con41_ + 0.0625 * temp2 * rteosq * (13.0 - 78.0 * cosio2 + 137.0 * cosio4);
    argpdot_ = -0.5 * temp1 * con42 + 0.0625 * temp2 * (7.0 - 114.0 * cosio2 + 395.0 * cosio4)
               + temp3 * (3.0 - 36.0 * cosio2 + 49.0 * cosio4);
    const double xhdot1 = -temp1 * cosio_;
    nodedot_ = xhdot1 + (0.5 * temp2 * (4.0 - 19.0 * cosio2) + 2.0 * temp3 * (3.0 - 7.0 * cosio2)) * cosio_;
    omgcof_ = bstar_ * cc3 * std::cos(argpo_);
    xmcof_ = 0;
    if (ecco_ > 1.0e-4) xmcof_ = -TwoThirds * coef * bstar_ / eeta;
    nodecf_ = 3.5 * omeosq * xhdot1 * cc1_;
    t2cof_ = 1.5 * cc1_;

    // Long-period J3 terms; at an inclination of 180 degrees 1 + cos i
    // would divide by 0.
    const double onePlusCos = std::fabs(cosio_ + 1.0) > 1.5e-12 ? 1.0 + cosio_ : 1.5e-12;
    xlcof_ = -0.25 * J3OverJ2 * sinio_ * (3.0 + 5.0 * cosio_) / onePlusCos;
    aycof_ = -0.5 * J3OverJ2 * sinio_;
    const double delmoBase = 1.0 + eta_ * std::cos(mo_);
    delmo_ = delmoBase * delmoBase * delmoBase;
    sinmao_ = std::sin(mo_);
    x7thm1_ = 7.0 * cosio2 - 1.0;

    if (TwoPi / no_ >= 225.0) {
        deepSpace_ = true;
        simpleDrag_ = true;
        InitDeepSpace(epoch1950);
    }

    if (!simpleDrag_) {
        const double cc1sq = cc1_ * cc1_;
        d2_ = 4.0 * ao * tsi * cc1sq;
        const double temp = d2_ * tsi * cc1_ / 3.0;
        d3_ = (17.0 * ao + sfour) * temp;
        d4_ = 0.5 * temp * ao * tsi * (221.0 * ao + 31.0 * sfour) * cc1_;
        t3cof_ = d2_ + 2.0 * cc1sq;
        t4cof_ = 0.25 * (3.0 * d3_ + cc1_ * (12.0 * d2_ + 10.0 * cc1sq));
        t5cof_ = 0.2 * (3.0 * d4_ + 12.0 * cc1_ * d3_ + 6.0 * d2_ * d2_ + 15.0 * cc1sq * (2.0 * d2_ + cc1sq));
    }
}

void Sgp4::InitDeepSpace(double epoch1950)
{
    // The Moon's orbit at epoch: its node on the equator regresses in 18.6
    // years, which moves its inclination to the equator and its perigee.
    const double day = epoch1950 + 18261.5; // days from 1900 January 0.5
    const double xnodce = std::fmod(4.5236020 - 9.2422029e-4 * day, TwoPi);
    const double stem = std::sin(xnodce);
    const double ctem = std::cos(xnodce);
    const double zcosil = 0.91375164 - 0.03568096 * ctem;
    const double zsinil = std::sqrt(1.0 - zcosil * zcosil);
    const double zsinhl = 0.089683511 * stem / zsinil;
    const double zcoshl = std::sqrt(1.0 - zsinhl * zsinhl);
    const double gam = 5.8351514 + 0.0019443680 * day;
    double zx = 0.39785416 * stem / zsinil;
    const double zy = zcoshl * ctem + 0.91744867 * zsinhl * stem;
    zx = std::atan2(zx, zy);
    zx = gam + zx - xnodce;
    const double zcosgl = std::cos(zx);
    const double zsingl = std::sin(zx);

    OrbitAngles o;
    o.CosI = cosio_;
    o.SinI = sinio_;
    o.CosW = std::cos(argpo_);
    o.SinW = std::sin(argpo_);
    o.Ecc = ecco_;
    o.EccSq = ecco_ * ecco_;
    o.BetaSq = 1.0 - o.EccSq;
    o.RootBetaSq = std::sqrt(o.BetaSq);
    o.InverseMotion = 1.0 / no_;
    const double snodm = std::sin(nodeo_);
    const double cnodm = std::cos(nodeo_);

    // The Sun on the ecliptic, the Moon on its own plane.
    const BodyTerms s = TermsOf(0.1945905, -0.98088458, 0.91744867, 0.39785416, cnodm, snodm, SunPull, o);
    const BodyTerms m = TermsOf(zcosgl, zsingl, zcosil, zsinil, zcoshl * cnodm + zsinhl * snodm,
                                snodm * zcoshl - cnodm * zsinhl, MoonPull, o);

    auto periodic = [&o](const BodyTerms& b, double bodyEcc, double anomalyAtEpoch, double rate) {
        ThirdBody t;
        t.E2 = 2.0 * b.S1 * b.S6;
        t.E3 = 2.0 * b.S1 * b.S7;
        t.I2 = 2.0 * b.S2 * b.Z12;
        t.I3 = 2.0 * b.S2 * (b.Z13 - b.Z11);
        t.L2 = -2.0 * b.S3 * b.Z2;
        t.L3 = -2.0 * b.S3 * (b.Z3 - b.Z1);
        t.L4 = -2.0 * b.S3 * (-21.0 - 9.0 * o.EccSq) * bodyEcc;
        t.Gh2 = 2.0 * b.S4 * b.Z32;
        t.Gh3 = 2.0 * b.S4 * (b.Z33 - b.Z31);
        t.Gh4 = -18.0 * b.S4 * bodyEcc;
        t.H2 = -2.0 * b.S2 * b.Z22;
        t.H3 = -2.0 * b.S2 * (b.Z23 - b.Z21);
        t.MeanAnomalyAtEpoch = anomalyAtEpoch;
        t.AnomalyRate = rate;
        t.Eccentricity = bodyEcc;
        return t;
    };
    sun_ = periodic(s, SunEccentricity, std::fmod(6.2565837 + 0.017201977 * day, TwoPi), SunAnomalyRate);
    moon_ = periodic(m, MoonEccentricity, std::fmod(4.7199672 + 0.22997150 * day - gam, TwoPi), MoonAnomalyRate);

    // Secular rates.
    const BodyRates sr = RatesOf(s, SunAnomalyRate, o.EccSq);
    const BodyRates mr = RatesOf(m, MoonAnomalyRate, o.EccSq);
    const bool nearAxis = inclo_ < PolarOrEquatorial || inclo_ > Pi - PolarOrEquatorial;
    double shs = nearAxis ? 0.0 : sr.H;
    if (sinio_ != 0.0) shs = shs / sinio_;
    const double sgs = sr.Gh - cosio_ * shs;
    dedt_ = sr.E + mr.E;
    didt_ = sr.I + mr.I;
    dmdt_ = sr.M + mr.M;
    const double shll = nearAxis ? 0.0 : mr.H;
    domdt_ = sgs + mr.Gh;
    dnodt_ = shs;
    if (sinio_ != 0.0) {
        domdt_ = domdt_ - cosio_ / sinio_ * shll;
        dnodt_ = dnodt_ + shll / sinio_;
    }

    // Resonance: a 24-hour orbit (period 1200 to 1800 minutes) or a
    // 12-hour one (680 to 760 minutes) of eccentricity 0.5 or more.
    if (no_ < 0.0052359877 && no_ > 0.0034906585)
        resonance_ = Resonance::Synchronous;
    else if (no_ >= 8.26e-3 && no_ <= 9.24e-3 && ecco_ >= 0.5)
        resonance_ = Resonance::HalfDay;
    if (resonance_ == Resonance::None) return;

    const double theta = std::fmod(gsto_, TwoPi);
    const double aonv = std::pow(no_ / Xke, TwoThirds);
    const double cosim = cosio_, sinim = sinio_;
    const double xpidot = argpdot_ + nodedot_;
    if (resonance_ == Resonance::HalfDay) {
        const double cosisq = cosim * cosim;
        const double em = ecco_;
        const double emsq = o.EccSq;
        const double eoc = em * emsq;
        const double g201 = -0.306 - (em - 0.64) * 0.440;
        double g211, g310, g322, g410, g422, g520, g521, g532, g533;
        if (em <= 0.65) {
            g211 = 3.616 - 13.2470 * em + 16.2900 * emsq;
            g310 = -19.302 + 117.3900 * em - 228.4190 * emsq + 156.5910 * eoc;
            g322 = -18.9068 + 109.7927 * em - 214.6334 * emsq + 146.5816 * eoc;
            g410 = -41.122 + 242.6940 * em - 471.0940 * emsq + 313.9530 * eoc;
            g422 = -146.407 + 841.8800 * em - 1629.014 * emsq + 1083.4350 * eoc;
            g520 = -532.114 + 3017.977 * em - 5740.032 * emsq + 3708.2760 * eoc;
        } else {
            g211 = -72.099 + 331.819 * em - 508.738 * emsq + 266.724 * eoc;
            g310 = -346.844 + 1582.851 * em - 2415.925 * emsq + 1246.113 * eoc;
            g322 = -342.585 + 1554.908 * em - 2366.899 * emsq + 1215.972 * eoc;
            g410 = -1052.797 + 4758.686 * em - 7193.992 * emsq + 3651.957 * eoc;
            g422 = -3581.690 + 16178.110 * em - 24462.770 * emsq + 12422.520 * eoc;
            if (em > 0.715)
                g520 = -5149.66 + 29936.92 * em - 54087.36 * emsq + 31324.56 * eoc;
            else
                g520 = 1464.74 - 4664.75 * em + 3763.64 * emsq;
        }
        if (em < 0.7) {
            g533 = -919.22770 + 4988.6100 * em - 9064.7700 * emsq + 5542.21 * eoc;
            g521 = -822.71072 + 4568.6173 * em - 8491.4146 * emsq + 5337.524 * eoc;
            g532 = -853.66600 + 4690.2500 * em - 8624.7700 * emsq + 5341.4 * eoc;
        } else {
            g533 = -37995.780 + 161616.52 * em - 229838.20 * emsq + 109377.94 * eoc;
            g521 = -51752.104 + 218913.95 * em - 309468.16 * emsq + 146349.42 * eoc;
            g532 = -40023.880 + 170470.89 * em - 242699.48 * emsq + 115605.82 * eoc;
        }
        const double sini2 = sinim * sinim;
        const double f220 = 0.75 * (1.0 + 2.0 * cosim + cosisq);
        const double f221 = 1.5 * sini2;
        const double f321 = 1.875 * sinim * (1.0 - 2.0 * cosim - 3.0 * cosisq);
        const double f322 = -1.875 * sinim * (1.0 + 2.0 * cosim - 3.0 * cosisq);
        const double f441 = 35.0 * sini2 * f220;
        const double f442 = 39.3750 * sini2 * sini2;
        const double f522 =
            9.84375 * sinim
            * (sini2 * (1.0 - 2.0 * cosim - 5.0 * cosisq) + 0.33333333 * (-2.0 + 4.0 * cosim + 6.0 * cosisq));
        const double f523 = sinim
                            * (4.92187512 * sini2 * (-2.0 - 4.0 * cosim + 10.0 * cosisq)
                               + 6.56250012 * (1.0 + 2.0 * cosim - 3.0 * cosisq));
        const double f542 = 29.53125 * sinim * (2.0 - 8.0 * cosim + cosisq * (-12.0 + 8.0 * cosim + 10.0 * cosisq));
        const double f543 = 29.53125 * sinim * (-2.0 - 8.0 * cosim + cosisq * (12.0 + 8.0 * cosim - 10.0 * cosisq));

        constexpr double root22 = 1.7891679e-6, root32 = 3.7393792e-7, root44 = 7.3636953e-9;
        constexpr double root52 = 1.1428639e-7, root54 = 2.1765803e-9;
        const double xno2 = no_ * no_;
        const double ainv2 = aonv * aonv;
        double t1 = 3.0 * xno2 * ainv2;
        double temp = t1 * root22;
        d2201_ = temp * f220 * g201;
        d2211_ = temp * f221 * g211;
        t1 = t1 * aonv;
        temp = t1 * root32;
        d3210_ = temp * f321 * g310;
        d3222_ = temp * f322 * g322;
        t1 = t1 * aonv;
        temp = 2.0 * t1 * root44;
        d4410_ = temp * f441 * g410;
        d4422_ = temp * f442 * g422;
        t1 = t1 * aonv;
        temp = t1 * root52;
        d5220_ = temp * f522 * g520;
        d5232_ = temp * f523 * g532;
        temp = 2.0 * t1 * root54;
        d5421_ = temp * f542 * g521;
        d5433_ = temp * f543 * g533;
        xlamo_ = std::fmod(mo_ + nodeo_ + nodeo_ - theta - theta, TwoPi);
        xfact_ = mdot_ + dmdt_ + 2.0 * (nodedot_ + dnodt_ - EarthRotation) - no_;
    } else {
        constexpr double q22 = 1.7891679e-6, q31 = 2.1460748e-6, q33 = 2.2123015e-7;
        const double emsq = o.EccSq;
        const double g200 = 1.0 + emsq * (-2.5 + 0.8125 * emsq);
        const double g310 = 1.0 + 2.0 * emsq;
        const double g300 = 1.0 + emsq * (-6.0 + 6.60937 * emsq);
        const double f220 = 0.75 * (1.0 + cosim) * (1.0 + cosim);
        const double f311 = 0.9375 * sinim * sinim * (1.0 + 3.0 * cosim) - 0.75 * (1.0 + cosim);
        double f330 = 1.0 + cosim;
        f330 = 1.875 * f330 * f330 * f330;
        const double del1 = 3.0 * no_ * no_ * aonv * aonv;
        del2_ = 2.0 * del1 * f220 * g200 * q22;
        del3_ = 3.0 * del1 * f330 * g300 * q33 * aonv;
        del1_ = del1 * f311 * g310 * q31 * aonv;
        xlamo_ = std::fmod(mo_ + nodeo_ + argpo_ - theta, TwoPi);
        xfact_ = mdot_ + xpidot - EarthRotation + dmdt_ + domdt_ + dnodt_ - no_;
    }
}

void Sgp4::IntegrateResonance(double t, ResonanceCarry& carry, double& meanMotion, double& meanLongitude) const
{
    constexpr double fasx2 = 0.13130908, fasx4 = 2.8843198, fasx6 = 0.37448087;
    constexpr double g22 = 5.7686396, g32 = 0.95240898, g44 = 1.8014998, g52 = 1.0508330, g54 = 4.4108898;
    constexpr double step = 720.0;               // minutes
    constexpr double halfStepSquared = 259200.0; // step * step / 2

    // Start again from the epoch unless the carry lies between the epoch
    // and t: the steps are the same either way.
    const bool behind = t * carry.Minutes <= 0 || std::fabs(t) < std::fabs(carry.Minutes);
    if (carry.Owner != this || (carry.Minutes != 0 && behind)) {
        carry.Owner = this;
        carry.Minutes = 0;
        carry.MeanLongitude = xlamo_;
        carry.MeanMotion = no_;
        carry.HasRates = false;
    }

    // The rates of mean motion and mean longitude at the carry's point.
    auto rates = [this, &carry] {
        const double xli = carry.MeanLongitude;
        double xndt, xnddt;
        if (resonance_ == Resonance::Synchronous) {
            xndt = del1_ * std::sin(xli - fasx2) + del2_ * std::sin(2.0 * (xli - fasx4))
                   + del3_ * std::sin(3.0 * (xli - fasx6));
            xnddt = del1_ * std::cos(xli - fasx2) + 2.0 * del2_ * std::cos(2.0 * (xli - fasx4))
                    + 3.0 * del3_ * std::cos(3.0 * (xli - fasx6));
        } else {
            const double xomi = argpo_ + argpdot_ * carry.Minutes;
            const double x2omi = xomi + xomi;
            const double x2li = xli + xli;
            xndt = d2201_ * std::sin(x2omi + xli - g22) + d2211_ * std::sin(xli - g22)
                   + d3210_ * std::sin(xomi + xli - g32) + d3222_ * std::sin(-xomi + xli - g32)
                   + d4410_ * std::sin(x2omi + x2li - g44) + d4422_ * std::sin(x2li - g44)
                   + d5220_ * std::sin(xomi + xli - g52) + d5232_ * std::sin(-xomi + xli - g52)
                   + d5421_ * std::sin(xomi + x2li - g54) + d5433_ * std::sin(-xomi + x2li - g54);
            xnddt = d2201_ * std::cos(x2omi + xli - g22) + d2211_ * std::cos(xli - g22)
                    + d3210_ * std::cos(xomi + xli - g32) + d3222_ * std::cos(-xomi + xli - g32)
                    + d5220_ * std::cos(xomi + xli - g52) + d5232_ * std::cos(-xomi + xli - g52)
                    + 2.0
                          * (d4410_ * std::cos(x2omi + x2li - g44) + d4422_ * std::cos(x2li - g44)
                             + d5421_ * std::cos(xomi + x2li - g54) + d5433_ * std::cos(-xomi + x2li - g54));
        }
        carry.LongitudeRate = carry.MeanMotion + xfact_;
        carry.MotionRate = xndt;
        carry.MotionAcceleration = xnddt * carry.LongitudeRate;
        carry.HasRates = true;
    };

    if (!carry.HasRates) rates();
    const double delt = t > 0 ? step : -step;
    while (std::fabs(t - carry.Minutes) >= step) {
        carry.MeanLongitude = carry.MeanLongitude + carry.LongitudeRate * delt + carry.MotionRate * halfStepSquared;
        carry.MeanMotion = carry.MeanMotion + carry.MotionRate * delt + carry.MotionAcceleration * halfStepSquared;
        carry.Minutes = carry.Minutes + delt;
        rates();
    }
    const double ft = t - carry.Minutes;
    meanMotion = carry.MeanMotion + carry.MotionRate * ft + carry.MotionAcceleration * ft * ft * 0.5;
    meanLongitude = carry.MeanLongitude + carry.LongitudeRate * ft + carry.MotionRate * ft * ft * 0.5;
}

void Sgp4::AddLuniSolarPeriodics(double t, PeriodicElements& e) const
{
    double pe = 0, pinc = 0, pl = 0, pgh = 0, ph = 0;
    for (const ThirdBody* b : {&sun_, &moon_}) {
        const double zm = b->MeanAnomalyAtEpoch + b->AnomalyRate * t;
        const double zf = zm + 2.0 * b->Eccentricity * std::sin(zm);
        const double sinzf = std::sin(zf);
        const double f2 = 0.5 * sinzf * sinzf - 0.25;
        const double f3 = -0.5 * sinzf * std::cos(zf);
        pe = pe + (b->E2 * f2 + b->E3 * f3);
        pinc = pinc + (b->I2 * f2 + b->I3 * f3);
        pl = pl + (b->L2 * f2 + b->L3 * f3 + b->L4 * sinzf);
        pgh = pgh + (b->Gh2 * f2 + b->Gh3 * f3 + b->Gh4 * sinzf);
        ph = ph + (b->H2 * f2 + b->H3 * f3);
    }

    e.Inclination = e.Inclination + pinc;
    e.Eccentricity = e.Eccentricity + pe;
    const double sinip = std::sin(e.Inclination);
    const double cosip = std::cos(e.Inclination);
    // The perturbed inclination decides between the direct form and
    // Lyddane's, which stays finite as sin i goes to 0.
    if (e.Inclination >= 0.2) {
        ph = ph / sinip;
        pgh = pgh - cosip * ph;
        e.ArgPerigee = e.ArgPerigee + pgh;
        e.Node = e.Node + ph;
        e.MeanAnomaly = e.MeanAnomaly + pl;
    } else {
        const double sinop = std::sin(e.Node);
        const double cosop = std::cos(e.Node);
        double alfdp = sinip * sinop;
        double betdp = sinip * cosop;
        const double dalf = ph * cosop + pinc * cosip * sinop;
        const double dbet = -ph * sinop + pinc * cosip * cosop;
        alfdp = alfdp + dalf;
        betdp = betdp + dbet;
        e.Node = std::fmod(e.Node, TwoPi);
        double xls = e.MeanAnomaly + e.ArgPerigee + cosip * e.Node;
        const double dls = pl + pgh - pinc * e.Node * sinip;
        xls = xls + dls;
        const double xnoh = e.Node;
        e.Node = std::atan2(alfdp, betdp);
        // atan2 gives -pi..pi: keep the node on the side of the turn it came from.
        if (std::fabs(xnoh - e.Node) > Pi) e.Node = e.Node < xnoh ? e.Node + TwoPi : e.Node - TwoPi;
        e.MeanAnomaly = e.MeanAnomaly + pl;
        e.ArgPerigee = xls - e.MeanAnomaly - cosip * e.Node;
    }
}

Sgp4State Sgp4::StateAt(double t) const
{
    ResonanceCarry fresh;
    return StateAt(t, fresh);
}

Sgp4State Sgp4::StateAt(double t, ResonanceCarry& carry) const
{
    Sgp4State out;
    if (epochStop_ != Sgp4Stop::None) {
        out.Stop = epochStop_;
        return out;
    }
    if (!std::isfinite(t) || std::fabs(t) > LongestSpan) {
        out.Stop = Sgp4Stop::BadInput;
        return out;
    }

    // Secular gravity and drag.
    const double xmdf = mo_ + mdot_ * t;
    const double argpdf = argpo_ + argpdot_ * t;
    const double nodedf = nodeo_ + nodedot_ * t;
    double argpm = argpdf;
    double mm = xmdf;
    const double t2 = t * t;
    double nodem = nodedf + nodecf_ * t2;
    double tempa = 1.0 - cc1_ * t;
    double tempe = bstar_ * cc4_ * t;
    double templ = t2cof_ * t2;
    if (!simpleDrag_) {
        const double delomg = omgcof_ * t;
        const double delmtemp = 1.0 + eta_ * std::cos(xmdf);
        const double delm = xmcof_ * (delmtemp * delmtemp * delmtemp - delmo_);
        const double temp = delomg + delm;
        mm = xmdf + temp;
        argpm = argpdf - temp;
        const double t3 = t2 * t;
        const double t4 = t3 * t;
        tempa = tempa - d2_ * t2 - d3_ * t3 - d4_ * t4;
        tempe = tempe + bstar_ * cc5_ * (std::sin(mm) - sinmao_);
        templ = templ + t3cof_ * t3 + t4 * (t4cof_ + t * t5cof_);
    }

    double nm = no_;
    double em = ecco_;
    double inclm = inclo_;
    if (deepSpace_) {
        // Secular pulls of the Sun and the Moon, and the resonance.
        em = em + dedt_ * t;
        inclm = inclm + didt_ * t;
        argpm = argpm + domdt_ * t;
        nodem = nodem + dnodt_ * t;
        mm = mm + dmdt_ * t;
        if (resonance_ != Resonance::None) {
            double xl = 0;
            IntegrateResonance(t, carry, nm, xl);
            const double theta = std::fmod(gsto_ + t * EarthRotation, TwoPi);
            if (resonance_ == Resonance::HalfDay)
                mm = xl - 2.0 * nodem + 2.0 * theta;
            else
                mm = xl - nodem - argpm + theta;
            const double dndt = nm - no_;
            nm = no_ + dndt;
        }
    }

    if (nm <= 0.0) {
        out.Stop = Sgp4Stop::MeanMotion;
        return out;
    }
    const double am = std::pow(Xke / nm, TwoThirds) * tempa * tempa;
    nm = Xke / std::pow(am, 1.5);
    em = em - tempe;
    if (em >= 1.0 || em < -0.001) {
        out.Stop = Sgp4Stop::MeanEccentricity;
        return out;
    }
    if (em < 1.0e-6) em = 1.0e-6;
    mm = mm + no_ * templ;
    double xlm = mm + argpm + nodem;
    nodem = std::fmod(nodem, TwoPi);
    argpm = std::fmod(argpm, TwoPi);
    xlm = std::fmod(xlm, TwoPi);
    mm = std::fmod(xlm - argpm - nodem, TwoPi);

    out.MeanInclination = inclm;
    out.MeanNode = nodem;
    out.MeanArgPerigee = argpm;
    PeriodicElements p{em, inclm, nodem, argpm, mm};
    double sinip = std::sin(inclm);
    double cosip = std::cos(inclm);
    double aycof = aycof_;
    double xlcof = xlcof_;
    double con41 = con41_;
    double x1mth2 = x1mth2_;
    double x7thm1 = x7thm1_;
    if (deepSpace_) {
        AddLuniSolarPeriodics(t, p);
        if (p.Inclination < 0.0) {
            p.Inclination = -p.Inclination;
            p.Node = p.Node + Pi;
            p.ArgPerigee = p.ArgPerigee - Pi;
        }
        if (p.Eccentricity < 0.0 || p.Eccentricity > 1.0) {
            out.Stop = Sgp4Stop::PerturbedEccentricity;
            return out;
        }
        sinip = std::sin(p.Inclination);
        cosip = std::cos(p.Inclination);
        aycof = -0.5 * J3OverJ2 * sinip;
        const double onePlusCos = std::fabs(cosip + 1.0) > 1.5e-12 ? 1.0 + cosip : 1.5e-12;
        xlcof = -0.25 * J3OverJ2 * sinip * (3.0 + 5.0 * cosip) / onePlusCos;
        const double cosisq = cosip * cosip;
        con41 = 3.0 * cosisq - 1.0;
        x1mth2 = 1.0 - cosisq;
        x7thm1 = 7.0 * cosisq - 1.0;
    }

    // Long-period periodics and Kepler's equation in the equinoctial form.
    const double ep = p.Eccentricity;
    const double axnl = ep * std::cos(p.ArgPerigee);
    double temp = 1.0 / (am * (1.0 - ep * ep));
    const double aynl = ep * std::sin(p.ArgPerigee) + temp * aycof;
    const double xl = p.MeanAnomaly + p.ArgPerigee + p.Node + temp * xlcof * axnl;
    const double u = std::fmod(xl - p.Node, TwoPi);
    double eo1 = u;
    double tem5 = 9999.9;
    double sineo1 = 0, coseo1 = 0;
    // At most ten corrections, each held under 0.95 radians so that a
    // nearly parabolic orbit cannot throw the iteration off.
    for (int k = 1; std::fabs(tem5) >= 1.0e-12 && k <= 10; ++k) {
        sineo1 = std::sin(eo1);
        coseo1 = std::cos(eo1);
        tem5 = 1.0 - coseo1 * axnl - sineo1 * aynl;
        tem5 = (u - aynl * coseo1 + axnl * sineo1 - eo1) / tem5;
        if (std::fabs(tem5) >= 0.95) tem5 = tem5 > 0.0 ? 0.95 : -0.95;
        eo1 = eo1 + tem5;
    }

    // Short-period periodics.
    const double ecose = axnl * coseo1 + aynl * sineo1;
    const double esine = axnl * sineo1 - aynl * coseo1;
    const double el2 = axnl * axnl + aynl * aynl;
    const double pl = am * (1.0 - el2);
    if (pl < 0.0) {
        out.Stop = Sgp4Stop::SemiLatusRectum;
        return out;
    }
    const double rl = am * (1.0 - ecose);
    const double rdotl = std::sqrt(am) * esine / rl;
    const double rvdotl = std::sqrt(pl) / rl;
    const double betal = std::sqrt(1.0 - el2);
    temp = esine / (1.0 + betal);
    const double sinu = am / rl * (sineo1 - aynl - axnl * temp);
    const double cosu = am / rl * (coseo1 - axnl + aynl * temp);
    double su = std::atan2(sinu, cosu);
    const double sin2u = (cosu + cosu) * sinu;
    const double cos2u = 1.0 - 2.0 * sinu * sinu;
    temp = 1.0 / pl;
    const double temp1 = 0.5 * J2 * temp;
    const double temp2 = temp1 * temp;

    const double mrt = rl * (1.0 - 1.5 * temp2 * betal * con41) + 0.5 * temp1 * x1mth2 * cos2u;
    su = su - 0.25 * temp2 * x7thm1 * sin2u;
    const double xnode = p.Node + 1.5 * temp2 * cosip * sin2u;
    const double xinc = p.Inclination + 1.5 * temp2 * cosip * sinip * cos2u;
    const double mvt = rdotl - nm * temp1 * x1mth2 * sin2u / Xke;
    const double rvdot = rvdotl + nm * temp1 * (x1mth2 * cos2u + 1.5 * con41) / Xke;

    // Orientation: u toward the satellite, v along its motion.
    const double sinsu = std::sin(su);
    const double cossu = std::cos(su);
    const double snod = std::sin(xnode);
    const double cnod = std::cos(xnode);
    const double sini = std::sin(xinc);
    const double cosi = std::cos(xinc);
    const double xmx = -snod * cosi;
    const double xmy = cnod * cosi;
    const Vector3 uv{xmx * sinsu + cnod * cossu, xmy * sinsu + snod * cossu, sini * sinsu};
    const Vector3 vv{xmx * cossu - cnod * sinsu, xmy * cossu - snod * sinsu, sini * cossu};

    out.Position = {mrt * uv.X * EarthRadius, mrt * uv.Y * EarthRadius, mrt * uv.Z * EarthRadius};
    out.Velocity = {(mvt * uv.X + rvdot * vv.X) * KmPerSecond, (mvt * uv.Y + rvdot * vv.Y) * KmPerSecond,
                    (mvt * uv.Z + rvdot * vv.Z) * KmPerSecond};
    if (mrt < 1.0) {
        out.Stop = Sgp4Stop::Decayed;
        return out;
    }
    const double all[] = {out.Position.X, out.Position.Y, out.Position.Z,
                          out.Velocity.X, out.Velocity.Y, out.Velocity.Z};
    for (double v : all) {
        if (!std::isfinite(v)) {
            out.Stop = Sgp4Stop::NotFinite;
            break;
        }
    }
    return out;
}

} // namespace tavik
