"""Our rises and sets against skyfield's, for runs written as JSON.

usage: horizon_crossings.py FOLDER NAME... where FOLDER holds NAME.tle,
NAME.json (the pass details) and NAME.site (latitude and longitude).
skyfield brackets each rise and set to half a second, so each is narrowed
further by halving on skyfield's own altitude before comparing. Tolerances:
1 s for a crossing (ours is rounded to the second), 10 m/s for the range
rate, which skyfield gives at our crossing's second. Every pass skyfield finds
that lasts over a minute must be one of ours."""
import json
import sys
from datetime import datetime, timezone
from skyfield.api import load, wgs84, EarthSatellite
ts = load.timescale(builtin=True)
folder = sys.argv[1]
days = 7
def when(text):
    return ts.from_datetime(datetime.strptime(text, '%Y-%m-%dT%H:%M:%SZ').replace(tzinfo=timezone.utc))
failed = False
for name in sys.argv[2:]:
    tle = open(folder + '/' + name + '.tle').read().split('\n')
    run = json.load(open(folder + '/' + name + '.json'))
    lat, lon = (float(x) for x in open(folder + '/' + name + '.site').read().split())
    satellite = EarthSatellite(tle[0].strip(), tle[1].strip(), name, ts)
    site = wgs84.latlon(lat, lon)
    seen = satellite - site
    start = when(run['run_start'])
    end = ts.tt_jd(start.tt + days)
    t, events = satellite.find_events(site, start, end, 0.0)
    def narrowed(tt, rising):
        low, high = tt - 1 / 86400, tt + 1 / 86400
        for _ in range(30):
            middle = (low + high) / 2
            if (seen.at(ts.tt_jd(middle)).altaz()[0].degrees > 0) == rising: high = middle
            else: low = middle
        return (low + high) / 2
    crossings = {'rise': [narrowed(x, True) for x, e in zip(t.tt, events) if e == 0],
                 'set': [narrowed(x, False) for x, e in zip(t.tt, events) if e == 2]}
    worst_time, worst_rate, count = 0.0, 0.0, 0
    ours = {'rise': [], 'set': []}
    for p in run['passes']:
        for side in ('rise', 'set'):
            point = p[side]
            if point is None or when(point['time']).tt > end.tt - 1 / 1440: continue
            at = when(point['time'])
            ours[side].append(at.tt)
            nearest = min(crossings[side], key=lambda x: abs(x - at.tt))
            off = abs(at.tt - nearest) * 86400
            rate = abs(seen.at(at).frame_latlon_and_rates(site)[5].km_per_s - point['range_rate_km_s'])
            worst_time, worst_rate, count = max(worst_time, off), max(worst_rate, rate), count + 1
            if off > 1.0 or rate > 0.010:
                print(name, side, point['time'], 'off by %.3f s, range rate by %.4f km/s' % (off, rate))
                failed = True
    for r, s in zip(crossings['rise'], crossings['set']):
        if s - r > 1 / 1440 and s < end.tt - 1 / 1440 and not any(abs(x - r) < 2 / 86400 for x in ours['rise']):
            print(name, 'skyfield pass not found, rising at', ts.tt_jd(r).utc_iso())
            failed = True
    print('%s: %d crossings, worst %.3f s from skyfield, range rate worst %.5f km/s'
          % (name, count, worst_time, worst_rate))
    if count < 10:
        print(name, 'too few crossings compared')
        failed = True
sys.exit(1 if failed else 0)
