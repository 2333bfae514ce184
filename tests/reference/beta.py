"""The beta angle in degrees at each instant: the SGP4 state's orbit normal
r x v against ephem's Sun in TEME.

usage: beta.py LINE1 LINE2 SECONDS... (seconds from 1899 December 30)"""
import math
import sys

from sgp4.api import Satrec

from sun_teme import julian, sun_teme

sat = Satrec.twoline2rv(sys.argv[1], sys.argv[2])
for t in sys.argv[3:]:
    jd = julian(float(t))
    e, r, v = sat.sgp4(math.floor(jd), jd - math.floor(jd))
    u = sun_teme(jd)
    n = [r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2], r[0] * v[1] - r[1] * v[0]]
    dot = sum(a * b for a, b in zip(n, u))
    print(math.degrees(math.asin(dot / math.sqrt(sum(c * c for c in n)) / math.sqrt(sum(c * c for c in u)))))
