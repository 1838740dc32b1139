#!/usr/bin/env python3
"""Makes an S-57 ENC cell with GDAL's S-57 writer (ogr2ogr -f S57) from a short description, for
the tests of `kvtool enc-import` and the demo harbour.

usage: scripts/make_s57_cell.py DESCRIPTION.json OUT.000

The description is JSON:
  {"cell": {"S57_CSCL": 12000, "S57_EDTN": 3, "S57_UPDN": 0, "S57_UADT": "20260115", ...},
   "features": [
     {"class": "BOYLAT", "attrs": {"CATLAM": 1, "COLOUR": ["3"], "OBJNAM": "No 1"}, "point": [lon, lat]},
     {"class": "DEPCNT", "attrs": {"VALDCO": 5}, "line": [[lon, lat], ...]},
     {"class": "LNDARE", "area": [[[lon, lat], ...], ...]}      (outer ring first, then holes),
     {"class": "SOUNDG", "soundings": [[lon, lat, depth], ...]}]}
Longitudes are east positive, as GDAL has them. The "cell" entries are the S-57 writer's
data set creation options.

The writer takes geometry only as S-57 spatial records: isolated nodes for points and
soundings, edges between connected nodes for lines and the rings of areas, each feature pointing
at its records (NAME_RCNM, NAME_RCID, ORNT, USAG, MASK). This script makes those layers and hands
them over as one multi-layer source (an OGR VRT of GeoJSON files)."""

import json
import os
import subprocess
import sys
import tempfile

RCNM_VI, RCNM_VC, RCNM_VE = 110, 120, 130
PRIM = {"point": 1, "soundings": 1, "line": 2, "area": 3}


def fc(features):
    return {"type": "FeatureCollection", "features": features}


def feature(props, geometry):
    return {"type": "Feature", "properties": props, "geometry": geometry}


def main():
    description, out = sys.argv[1], sys.argv[2]
    with open(description) as f:
        cell = json.load(f)
    ids = {"n": 0}

    def new_id():
        ids["n"] += 1
        return ids["n"]

    isolated, connected, edges = [], [], []
    layers = {}
    nodes = {}

    def node(lon, lat):
        key = (round(lon, 9), round(lat, 9))
        if key not in nodes:
            rcid = new_id()
            nodes[key] = rcid
            connected.append(feature({"RCNM": RCNM_VC, "RCID": rcid}, {"type": "Point", "coordinates": [lon, lat]}))
        return nodes[key]

    def edge(coords):
        rcid = new_id()
        start, end = node(*coords[0][:2]), node(*coords[-1][:2])
        edges.append(feature({"RCNM": RCNM_VE, "RCID": rcid, "NAME_RCNM_0": RCNM_VC, "NAME_RCID_0": start,
                              "ORNT_0": 255, "USAG_0": 255, "TOPI_0": 1, "MASK_0": 255,
                              "NAME_RCNM_1": RCNM_VC, "NAME_RCID_1": end, "ORNT_1": 255, "USAG_1": 255,
                              "TOPI_1": 2, "MASK_1": 255},
                             # The reader puts the nodes at the ends: the edge holds the rest.
                             {"type": "LineString", "coordinates": [c[:2] for c in coords[1:-1]]}
                             if len(coords) > 2 else None))
        return rcid

    for i, f in enumerate(cell["features"]):
        kind = next(k for k in PRIM if k in f)
        props = dict(f.get("attrs", {}))
        for key, value in props.items():
            if isinstance(value, list):
                props[key] = [str(v) for v in value]
        refs = []  # (rcnm, rcid, ornt, usag)
        if kind == "point":
            rcid = new_id()
            isolated.append(feature({"RCNM": RCNM_VI, "RCID": rcid}, {"type": "Point", "coordinates": f["point"]}))
            refs.append((RCNM_VI, rcid, 255, 255))
        elif kind == "soundings":
            rcid = new_id()
            isolated.append(feature({"RCNM": RCNM_VI, "RCID": rcid},
                                    {"type": "MultiPoint", "coordinates": f["soundings"]}))
            refs.append((RCNM_VI, rcid, 255, 255))
        elif kind == "line":
            refs.append((RCNM_VE, edge(f["line"]), 1, 255))
        else:
            for r, ring in enumerate(f["area"]):
                if ring[0] != ring[-1]:
                    ring = ring + [ring[0]]
                refs.append((RCNM_VE, edge(ring), 1, 1 if r == 0 else 2))
        props.update({"RCID": i + 1, "PRIM": PRIM[kind], "GRUP": 1 if f["class"] in ("DEPARE", "LNDARE", "DRGARE") else 2,
                      "AGEN": 540, "FIDN": i + 1, "FIDS": 1,
                      "NAME_RCNM": [r[0] for r in refs], "NAME_RCID": [r[1] for r in refs],
                      "ORNT": [r[2] for r in refs], "USAG": [r[3] for r in refs], "MASK": [255 for _ in refs]})
        layers.setdefault(f["class"], []).append(feature(props, None))

    work = tempfile.mkdtemp(prefix="s57cell-")
    vrt = ["<OGRVRTDataSource>"]
    all_layers = [("IsolatedNode", isolated), ("ConnectedNode", connected), ("Edge", edges)] + sorted(layers.items())
    for name, features in all_layers:
        if not features:
            continue
        path = os.path.join(work, name + ".geojson")
        with open(path, "w") as f:
            json.dump(fc(features), f)
        vrt.append('<OGRVRTLayer name="%s"><SrcDataSource>%s</SrcDataSource><SrcLayer>%s</SrcLayer></OGRVRTLayer>'
                   % (name, path, name))
    vrt.append("</OGRVRTDataSource>")
    source = os.path.join(work, "cell.vrt")
    with open(source, "w") as f:
        f.write("\n".join(vrt))
    options = []
    for key, value in cell.get("cell", {}).items():
        options += ["-dsco", "%s=%s" % (key, value)]
    if os.path.exists(out):
        os.remove(out)
    result = subprocess.run(["ogr2ogr", "-f", "S57", out, source] + options, capture_output=True, text=True)
    for name in os.listdir(work):
        os.remove(os.path.join(work, name))
    os.rmdir(work)
    if result.returncode != 0 or not os.path.exists(out):
        sys.stderr.write(result.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
