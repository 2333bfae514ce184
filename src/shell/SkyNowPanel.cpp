#include "shell/SkyNowPanel.h"
#include "shell/QtText.h"

#include "orbit/Doppler.h"
#include "platform/Clock.h"
#include "shell/ForecastController.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <cstdlib>

namespace tavik::shell {

namespace {

QString UtcText(DateTime t)
{
    static const std::int64_t unixZero = DateTime::FromCalendar(1970, 1, 1)->Seconds();
    return QDateTime::fromSecsSinceEpoch(t.Seconds() - unixZero, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// "in 1 d 02:03:04", "in 12:34": the time left, to the second.
QString Countdown(std::int64_t seconds)
{
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    const std::int64_t days = s / 86400, hours = s / 3600 % 24, minutes = s / 60 % 60;
    auto two = [](std::int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const QString clock = s >= 3600 ? QStringLiteral("%1:%2:%3").arg(hours).arg(two(minutes), two(s % 60))
                                    : QStringLiteral("%1:%2").arg(minutes).arg(two(s % 60));
    return days > 0 ? QStringLiteral("in %1 d %2").arg(days).arg(clock) : QStringLiteral("in %1").arg(clock);
}

QString Degrees(double value, int decimals) { return QStringLiteral("%1°").arg(value, 0, 'f', decimals); }

} // namespace

SkyNowPanel::SkyNowPanel(QWidget* parent) : QWidget(parent)
{
    clock_ = [] { return std::time(nullptr); };
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &SkyNowPanel::Update);

    title_ = new QLabel;
    title_->setObjectName(QStringLiteral("SkyNowTitle"));
    title_->setWordWrap(true);
    grid_ = new QGridLayout;
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(10);
    grid_->setVerticalSpacing(1);
    // Two figures a row: the panel sits under the pass's summary.
    azimuth_ = AddRow("Azimuth", "SkyNowAzimuth");
    elevation_ = AddRow("Elevation", "SkyNowElevation");
    range_ = AddRow("Range", "SkyNowRange");
    rangeRate_ = AddRow("Range rate", "SkyNowRangeRate");
    light_ = AddRow("Light", "SkyNowLight");
    height_ = AddRow("Height", "SkyNowHeight");
    under_ = AddRow("Under it", "SkyNowUnder");
    nextText_ = AddRow("Next rise", "SkyNowNext", &nextName_);
    downlinkText_ = AddRow("Downlink", "SkyNowDownlink");
    uplinkText_ = AddRow("Uplink", "SkyNowUplink");
    grid_->setColumnStretch(1, 1);
    grid_->setColumnStretch(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(title_);
    layout->addLayout(grid_);
    ShowNothing(QStringLiteral("No satellite chosen."));
}

SkyNowPanel::~SkyNowPanel() = default;

QLabel* SkyNowPanel::AddRow(const char* name, const char* objectName, QLabel** nameLabel)
{
    const int row = figures_ / 2, column = figures_ % 2 * 2;
    ++figures_;
    auto* label = new QLabel(QString::fromUtf8(name));
    if (nameLabel) *nameLabel = label;
    grid_->addWidget(label, row, column);
    auto* value = new QLabel;
    value->setObjectName(QString::fromLatin1(objectName));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The figures share what width there is: on a small screen the window's
    // width wins over the tail of a long one.
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid_->addWidget(value, row, column + 1);
    return value;
}

void SkyNowPanel::Follow(const ForecastController* controller)
{
    source_ = [controller] {
        const auto& site = controller->StationInUse();
        return Target{controller->Current(), site ? &*site : nullptr, controller->Model()};
    };
}

void SkyNowPanel::SetFrequencies(double downlinkMHz, double uplinkMHz)
{
    downlink_ = downlinkMHz * 1e6;
    uplink_ = uplinkMHz * 1e6;
    Update();
}

bool SkyNowPanel::Running() const { return timer_->isActive(); }

void SkyNowPanel::ShowNothing(const QString& why)
{
    title_->setText(why);
    for (QLabel* l :
         {azimuth_, elevation_, range_, rangeRate_, under_, height_, light_, nextText_, downlinkText_, uplinkText_})
        l->clear();
    last_.reset();
    timer_->stop();
}

void SkyNowPanel::Update()
{
    const Target target = source_ ? source_() : Target{};
    if (!target.Elements || !target.Site) {
        key_.clear();
        evaluate_.reset();
        ShowNothing(!target.Elements ? QStringLiteral("No satellite chosen.")
                                     : QStringLiteral("No station: give it with Forecast > Station…."));
        return;
    }
    const std::optional<DateTime> now = UtcAt(clock_());
    if (!now) {
        ShowNothing(QStringLiteral("The system clock reads a date outside the years 1 to 9999."));
        return;
    }
    // A new satellite, station or model: a new evaluator and a new search.
    const std::string key = target.Elements->SatName + '\n' + target.Elements->Line1 + '\n' + target.Elements->Line2
                            + '\n' + target.Site->StationLocator + '\n' + ModelName(target.Model);
    if (key != key_) {
        evaluate_.reset();
        key_ = key;
        if (const auto why = PropagationProblem(*target.Elements)) {
            ShowNothing(Q(target.Elements->SatName + ": " + *why));
            key_ = key; // not tried again every second
            return;
        }
        request_ = ForecastRequest{};
        request_.Elements = *target.Elements;
        request_.Site = *target.Site;
        request_.Model = target.Model;
        evaluate_ = std::make_unique<PointEvaluator>(request_);
        validUntil_ = 0;
    }
    if (!evaluate_) return; // an element set that cannot be propagated, said once

    SkyNow sky = SkyPlaceAt(*evaluate_, request_.Model, *now);
    const std::int64_t t = now->Seconds();
    // The search runs again only once the crossing found has passed (or the
    // reach of a search that found none), or the clock went back.
    if (t >= validUntil_ || t < searchedAt_ || sky.Up != nextUp_) {
        next_ = NextHorizonCrossing(*evaluate_, *now, sky.Up);
        nextUp_ = sky.Up;
        searchedAt_ = t;
        validUntil_ = next_ ? next_->At.Seconds() : t + SkyNowSearchHours * 3600;
        ++searches_;
    }
    sky.Next = next_;

    const PassPointDetail& p = sky.Point;
    title_->setText(
        QStringLiteral("<b>%1</b> now, %2 UTC").arg(Q(request_.Elements.SatName).toHtmlEscaped(), UtcText(*now)));
    azimuth_->setText(Degrees(p.Azimuth, 1));
    elevation_->setText(QStringLiteral("%1 (%2 the horizon)")
                            .arg(Degrees(p.Elevation, 1), sky.Up ? QStringLiteral("above") : QStringLiteral("below")));
    range_->setText(QStringLiteral("%1 km").arg(p.Range, 0, 'f', 0));
    rangeRate_->setText(QStringLiteral("%1 km/s").arg(p.RangeRate, 0, 'f', 3));
    under_->setText(QStringLiteral("%1 %2, %3 %4")
                        .arg(Degrees(std::fabs(sky.SubLatitude), 2))
                        .arg(sky.SubLatitude < 0 ? QLatin1Char('S') : QLatin1Char('N'))
                        .arg(Degrees(std::fabs(sky.SubLongitude), 2))
                        .arg(sky.SubLongitude < 0 ? QLatin1Char('W') : QLatin1Char('E')));
    height_->setText(QStringLiteral("%1 km").arg(sky.Height, 0, 'f', 0));
    light_->setText(QString::fromLatin1(LightName(sky.Light)));
    nextName_->setText(sky.Up ? QStringLiteral("Next set") : QStringLiteral("Next rise"));
    nextText_->setText(sky.Next ? QStringLiteral("%1 UTC, az %2, %3")
                                      .arg(UtcText(sky.Next->At).mid(11), Degrees(sky.Next->Azimuth, 0),
                                           Countdown(sky.Next->At.Seconds() - t))
                                : QStringLiteral("none within %1 hours").arg(SkyNowSearchHours));
    // The downlink as heard here; the uplink to transmit so that the
    // satellite hears its frequency.
    auto shifted = [&p](double hz, int sign, const QString& what) {
        if (hz <= 0) return QStringLiteral("none set");
        const double shift = DopplerShift(hz, p.RangeRate);
        return QStringLiteral("%1 MHz %2 (%3%4 Hz)")
            .arg((hz + sign * shift) / 1e6, 0, 'f', 6)
            .arg(what, shift >= 0 ? QStringLiteral("+") : QString())
            .arg(std::lround(shift));
    };
    downlinkText_->setText(shifted(downlink_, 1, QStringLiteral("heard")));
    uplinkText_->setText(shifted(uplink_, -1, QStringLiteral("to send")));
    last_ = sky;
    emit PresentChanged(sky.Up, p.Azimuth, p.Elevation, t);

    // Every second while it is seen: not while hidden or minimised.
    const bool seen = isVisible() && !(window() && window()->isMinimized());
    if (seen && !timer_->isActive())
        timer_->start();
    else if (!seen)
        timer_->stop();
}

void SkyNowPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Update();
}

void SkyNowPanel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timer_->stop();
}

} // namespace tavik::shell
