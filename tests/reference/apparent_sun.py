"""150 instants from Sputnik's launch to the end of 2100, each at another time
of day. Per line: the Julian Date (UTC), ephem's apparent geocentric right
ascension and declination of date in degrees, its distance in AU, and the
TEME right ascension in degrees."""
import math

import ephem

from sun_teme import sun

first = ephem.julian_date('1957/10/4')
last = ephem.julian_date('2100/12/31')
for i in range(150):
    jd = first + (last - first) * i / 149 + (i * 0.377) % 1
    s, ra = sun(jd)
    print(repr(jd), math.degrees(s.g_ra), math.degrees(s.g_dec), s.earth_distance, math.degrees(ra))
