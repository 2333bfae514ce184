"""Every shadow passage wholly within a window, as an independent reference:
python3-sgp4, ephem's Sun in TEME, and the shadow as the two cones tangent to a
spherical Earth (6378.137 km) and Sun (696,000 km), no atmosphere, each edge
found by halving to a millisecond.

usage: shadow_passages.py LINE1 LINE2 START HOURS STEP
Per line: penumbra entry, umbra entry, umbra exit, penumbra exit, in seconds
from 1899 December 30 (-1: no umbra)."""
import math
import sys

from sgp4.api import Satrec

from sun_teme import julian, sun_teme

RE, RS = 6378.137, 696000.0


def zone(sat, t):
    """0 in sunlight, 1 in the penumbra, 2 in the umbra."""
    jd = julian(t)
    e, r, v = sat.sgp4(math.floor(jd), jd - math.floor(jd))
    sun = sun_teme(jd)
    D = math.sqrt(sum(c * c for c in sun))
    u = [c / D for c in sun]
    x = -sum(a * b for a, b in zip(r, u))  # behind the Earth along the anti-sun axis
    d = math.sqrt(max(0.0, sum(c * c for c in r) - x * x))  # from the axis
    au = math.asin((RS - RE) / D)
    xu = RE / math.sin(au)
    ap = math.asin((RS + RE) / D)
    xp = RE / math.sin(ap)
    umbra = x > 0 and x < xu and d < (xu - x) * math.tan(au)
    shade = x > -RE * math.sin(ap) and d < (xp + x) * math.tan(ap)
    return 2 if umbra else (1 if shade else 0)


def edge(sat, a, b, test):
    fa = test(zone(sat, a))
    while b - a > 1e-3:
        m = (a + b) / 2
        if test(zone(sat, m)) == fa:
            a = m
        else:
            b = m
    return (a + b) / 2


def passages(line1, line2, start, hours, step):
    sat = Satrec.twoline2rv(line1, line2)
    t, z, end, open_ = start, zone(sat, start), start + hours * 3600, None
    while t < end:
        n = min(t + step, end)
        zn = zone(sat, n)
        if zn >= 1 and z == 0:
            open_ = [edge(sat, t, n, lambda q: q >= 1), -1, -1]
        if open_ is not None and zn == 2 and z < 2:
            open_[1] = edge(sat, t, n, lambda q: q == 2)
        if open_ is not None and zn < 2 and z == 2:
            open_[2] = edge(sat, t, n, lambda q: q == 2)
        if open_ is not None and zn == 0 and z >= 1:
            print(*(repr(x) for x in open_ + [edge(sat, t, n, lambda q: q >= 1)]))
            open_ = None
        t, z = n, zn


passages(sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5]))
