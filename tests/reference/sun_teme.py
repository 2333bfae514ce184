"""The apparent Sun from python3-ephem turned into TEME, the frame of SGP4.

TEME's right ascension is ephem's apparent one less the equation of the
equinoxes: ephem's apparent sidereal time at Greenwich less python3-sgp4's
mean sidereal time, the one that defines TEME.
"""
import math

import ephem
from sgp4.propagation import gstime

AU = 149597870.7
_greenwich = ephem.Observer()
_greenwich.lon, _greenwich.lat, _greenwich.pressure = '0', '0', 0


def julian(seconds):
    """The Julian Date of seconds counted from 1899 December 30, as the engine counts them."""
    return seconds / 86400 + 2415018.5


def sun(jd):
    """ephem's Sun at a Julian Date (UTC) and the TEME right ascension in radians."""
    date = ephem.Date(jd - 2415020)
    s = ephem.Sun(date)
    _greenwich.date = date
    equation = math.remainder(float(_greenwich.sidereal_time()) - gstime(jd), 2 * math.pi)
    return s, s.g_ra - equation


def sun_teme(jd):
    """The Sun's TEME position in km."""
    s, ra = sun(jd)
    d = s.earth_distance * AU
    return [d * math.cos(s.g_dec) * math.cos(ra), d * math.cos(s.g_dec) * math.sin(ra), d * math.sin(s.g_dec)]
