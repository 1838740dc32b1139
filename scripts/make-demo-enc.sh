#!/usr/bin/env bash
# Rebuilds the demo ENC portfolio demo/charts/enc/ from a made-up S-57 cell: Kelvin Haven, a
# fictional harbour placed where the demo voyage (demo/routes/solent.rte, scripts/run.sh) starts,
# west of the Needles. NOT FOR NAVIGATION: the land, depths and marks are invented.
# The cell is written with GDAL's S-57 writer (scripts/make_s57_cell.py) into a temporary folder
# and imported with kvtool enc-import; the output is the same bytes on every run.
#
#   bash scripts/make-demo-enc.sh            (uses build/release/kvtool, or $KVTOOL)
set -euo pipefail
cd "$(dirname "$0")/.."
KVTOOL=${KVTOOL:-build/release/kvtool}
OUT=demo/charts/enc
PREFIX=Kelvin-NotForNavigation
if [ ! -x "$KVTOOL" ]; then
    echo "make-demo-enc: $KVTOOL not found; build first (see README) or set KVTOOL" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/XX5KELVN.json" <<'PY'
import json, math, sys

# Longitudes east positive (west of Greenwich negative), as GDAL has them.
S, N, W, E = 50.600, 50.720, -1.720, -1.500
features = []

def wiggle(t, k):
    return 0.0012 * math.sin(7 * t + k) + 0.0006 * math.sin(19 * t + 2 * k)

def mainland_coast(offset):
    """The mainland's shore (north-west), moved `offset` degrees out to sea (south-east)."""
    pts = []
    for i in range(41):
        t = i / 40.0
        lon = W + (-1.585 - W) * t
        lat = 50.672 + 0.036 * t * t + wiggle(t, 0.3)
        pts.append([round(lon + offset * 0.7, 6), round(lat - offset, 6)])
    return pts

def island(grow, n=48):
    """Kelvin Island, south-east of the channel, grown by `grow` degrees all round."""
    ring = []
    for i in range(n):
        a = 2 * math.pi * i / n
        r = 1.0 + 0.08 * math.sin(3 * a) + 0.04 * math.sin(7 * a)
        ring.append([round(-1.572 + (0.030 * r + grow * 1.6) * math.cos(a), 6),
                     round(50.636 + (0.013 * r + grow) * math.sin(a), 6)])
    return ring + [ring[0]]

def closed_north(line):
    """The area between a shore line and the cell's north-west corner."""
    return line + [[line[-1][0], N], [W, N], [W, line[0][1]], line[0]]

coast = mainland_coast(0.0)
features.append({"class": "LNDARE", "area": [closed_north(coast)]})
features.append({"class": "COALNE", "line": coast})
features.append({"class": "LNDARE", "attrs": {"OBJNAM": "Kelvin Island"}, "area": [island(0.0)]})
features.append({"class": "COALNE", "line": island(0.0)})

bands = [(0.0, 2.0, 0.004), (2.0, 5.0, 0.010), (5.0, 10.0, 0.018)]
inner_main, inner_island = coast, island(0.0)
for d1, d2, grow in bands:
    outer_main, outer_island = mainland_coast(grow), island(grow)
    # Along the mainland: the band between two shore lines, closed along the cell's west edge.
    band = outer_main + list(reversed(inner_main)) + [outer_main[0]]
    features.append({"class": "DEPARE", "attrs": {"DRVAL1": d1, "DRVAL2": d2}, "area": [band]})
    features.append({"class": "DEPARE", "attrs": {"DRVAL1": d1, "DRVAL2": d2}, "area": [outer_island, inner_island]})
    features.append({"class": "DEPCNT", "attrs": {"VALDCO": d2}, "line": outer_main})
    features.append({"class": "DEPCNT", "attrs": {"VALDCO": d2}, "line": outer_island})
    inner_main, inner_island = outer_main, outer_island
features.append({"class": "DEPARE", "attrs": {"DRVAL1": 10.0, "DRVAL2": 40.0},
                 "area": [[[W, S], [E, S], [E, N], [W, N], [W, S]]]})

def depth_at(lon, lat):
    """Invented depths: shoaling towards both shores."""
    shore = 50.672 + 0.036 * ((lon - W) / (-1.585 - W)) ** 2 if lon < -1.585 else N
    d_main = max(0.0, shore - lat)
    dx, dy = (lon + 1.572) / 1.6, lat - 50.636
    d_island = max(0.0, math.hypot(dx, dy) - 0.015)
    d = min(d_main, d_island)
    return round(min(38.0, 0.8 + 520.0 * d + 1.5 * math.sin(lon * 900) * math.cos(lat * 700)), 1)

soundings = []
for i in range(60):
    for j in range(90):
        lat = S + 0.002 + (N - S - 0.004) * i / 59
        lon = W + 0.002 + (E - W - 0.004) * j / 89
        shore = 50.672 + 0.036 * ((lon - W) / (-1.585 - W)) ** 2 if lon < -1.585 else 99
        dx, dy = (lon + 1.572) / 1.6, lat - 50.636
        if lat > shore - 0.002 or math.hypot(dx, dy) < 0.016:
            continue
        soundings.append([round(lon, 6), round(lat, 6), depth_at(lon, lat)])
features.append({"class": "SOUNDG", "soundings": soundings})

def mark(cls, lon, lat, **attrs):
    features.append({"class": cls, "attrs": attrs, "point": [lon, lat]})

def light(lon, lat, litchr, period, colour, group=None, name=None):
    attrs = {"LITCHR": litchr, "SIGPER": period, "COLOUR": [str(colour)]}
    if group:
        attrs["SIGGRP"] = group
    if name:
        attrs["OBJNAM"] = name
    features.append({"class": "LIGHTS", "attrs": attrs, "point": [lon, lat]})

mark("BOYSAW", -1.6480, 50.6423, OBJNAM="Kelvin Fairway", COLOUR=["3", "1"])
light(-1.6480, 50.6423, 3, 10, 1)
for k, (lon, lat) in enumerate([(-1.6400, 50.6520), (-1.6200, 50.6640), (-1.5920, 50.6770), (-1.5650, 50.6890)]):
    mark("BOYLAT", lon - 0.0045, lat + 0.0020, OBJNAM="No %d" % (2 * k + 2), CATLAM=1, COLOUR=["3"])
    light(lon - 0.0045, lat + 0.0020, 2, 5 + k % 2 * 5, 3, "(2)" if k % 2 else None)
    mark("BOYLAT", lon + 0.0045, lat - 0.0020, OBJNAM="No %d" % (2 * k + 1), CATLAM=2, COLOUR=["4"])
    light(lon + 0.0045, lat - 0.0020, 2, 5, 4)
mark("BCNCAR", -1.6120, 50.6330, OBJNAM="West Kelvin", CATCAM=4)
light(-1.6120, 50.6330, 4, 15, 1, "(9)")
mark("BOYCAR", -1.5720, 50.6580, OBJNAM="North Kelvin", CATCAM=1)
light(-1.5720, 50.6580, 5, 0, 1)
light(-1.5500, 50.6400, 2, 15, 1, "(3)", "Kelvin Light")
light(-1.6350, 50.6865, 8, 4, 4, None, "Haven Pier")
mark("BOYISD", -1.6700, 50.6600, OBJNAM="Gannet Rk", COLOUR=["2", "3"])
mark("BOYSPP", -1.6900, 50.6300, OBJNAM="Outfall", COLOUR=["6"])
mark("WRECKS", -1.6600, 50.6250, CATWRK=2, VALSOU=6.2)
mark("WRECKS", -1.5300, 50.6150, CATWRK=4)
mark("UWTROC", -1.6950, 50.6700, WATLEV=4, OBJNAM="Mew Stone")
mark("OBSTRN", -1.6250, 50.6120, VALSOU=8.5)

cell = {"S57_CSCL": 22000, "S57_EDTN": 1, "S57_UPDN": 0, "S57_UADT": "20260601", "S57_ISDT": "20260601",
        "S57_COMT": "Kelvin Haven, a fictional harbour - NOT FOR NAVIGATION"}
with open(sys.argv[1], "w") as f:
    json.dump({"cell": cell, "features": features}, f)
PY

python3 scripts/make_s57_cell.py "$work/XX5KELVN.json" "$work/XX5KELVN.000"
mkdir -p "$OUT"
rm -f "$OUT/$PREFIX"-* "$OUT/${PREFIX}Portfolio".*
# A small --max-points cuts the harbour into tiles, as a real cell of this scale would need.
"$KVTOOL" enc-import "$work/XX5KELVN.000" "$OUT" --name "$PREFIX" --safety-depth 5 --max-points 120
