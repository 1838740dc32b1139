#!/usr/bin/env python3
"""Field-by-field comparison of "kvtool ais-decode --all" with "gpsdecode -u" on the same file.

Usage: ais_compare_gpsdecode.py KV.json GPSD.json
gpsdecode reports a static data report only when part B follows part A of the same station, as
one message with both parts; kvtool prints each part. Texts are compared up to the first "@"
without trailing spaces, as gpsdecode ends them there."""
import json
import sys

COMMON = [("type", "MsgType"), ("repeat", "Repeat"), ("mmsi", "MMSI")]
POS = [("accuracy", "PosAccuracy"), ("lon", "Longitude"), ("lat", "Latitude")]
MOVE = [("speed", "SOG"), ("course", "COG"), ("heading", "TrueHeading"), ("second", "TimeStamp")]
DIMS = [("to_bow", "DimA"), ("to_stern", "DimB"), ("to_port", "DimC"), ("to_starboard", "DimD")]
FIELDS = {
    1: [("status", "NavStatus"), ("radio", "CommState"), ("raim", "RAIM")] + POS + MOVE,
    4: [("year", "Year"), ("month", "Month"), ("day", "Day"), ("hour", "Hour"), ("minute", "Minute"),
        ("second", "Second"), ("epfd", "EPFD"), ("raim", "RAIM"), ("radio", "CommState")] + POS,
    5: [("ais_version", "AISVersion"), ("imo", "IMO"), ("callsign", "CallSign"), ("shipname", "VesselName"),
        ("shiptype", "ShipType"), ("epfd", "EPFD"), ("draught", "Draught"), ("destination", "Destination"),
        ("dte", "DTE")] + DIMS,
    18: [("reserved", "Reserved8"), ("regional", "Regional2"), ("cs", "CSUnit"), ("display", "Display"),
         ("dsc", "DSC"), ("band", "Band"), ("msg22", "Msg22"), ("assigned", "Assigned"), ("raim", "RAIM"),
         ("radio", "CommState")] + POS + MOVE,
    19: [("reserved", "Reserved8"), ("regional", "Regional4"), ("shipname", "VesselName"), ("shiptype", "ShipType"),
         ("epfd", "EPFD"), ("raim", "RAIM"), ("dte", "DTE"), ("assigned", "Assigned")] + POS + MOVE + DIMS,
    21: [("aid_type", "AidType"), ("name", "Name"), ("epfd", "EPFD"), ("second", "TimeStamp"),
         ("off_position", "OffPosition"), ("regional", "Regional8"), ("raim", "RAIM"), ("virtual_aid", "Virtual"),
         ("assigned", "Assigned")] + POS + DIMS,
    24: [("shiptype", "ShipType"), ("vendorid", "VendorID"), ("callsign", "CallSign")],
}
FIELDS[2] = FIELDS[3] = FIELDS[1]
FIELDS[11] = FIELDS[4]


def norm(v):
    if isinstance(v, bool):
        return int(v)
    if isinstance(v, str):
        return v.split("@")[0].rstrip(" ")
    return v


def main():
    kv = [json.loads(l) for l in open(sys.argv[1])]
    gd = [json.loads(l) for l in open(sys.argv[2])]
    names = {}
    expected = []  # kvtool messages gpsdecode also reports, with the part A name for static data
    for m in kv:
        if m["MsgType"] == 24:
            if m["PartNumber"] == 0:
                names[m["MMSI"]] = m["VesselName"]
                continue
            if m["MMSI"] not in names:
                continue  # a part B with no part A before it: gpsdecode reports nothing
            m = dict(m, VesselName=names.pop(m["MMSI"]))
        expected.append(m)
    if len(expected) != len(gd):
        print(f"message count differs: kvtool {len(expected)}, gpsdecode {len(gd)}")
        return 1
    fields = 0
    bad = 0
    for k, g in zip(expected, gd):
        pairs = COMMON + FIELDS[k["MsgType"]]
        if k["MsgType"] == 24:
            pairs = pairs + [("shipname", "VesselName")]
            pairs += [("mothership_mmsi", "MothershipMMSI")] if "MothershipMMSI" in k else DIMS
        for gk, kk in pairs:
            if gk not in g:
                continue  # gpsdecode leaves out some fields (the assigned flag of 18, a zero DTE)
            fields += 1
            if norm(g[gk]) != norm(k[kk]):
                bad += 1
                if bad <= 10:
                    print(f"differs: type {k['MsgType']} MMSI {k['MMSI']} {kk}={k[kk]!r} gpsdecode {gk}={g[gk]!r}")
    counts = {}
    for k in expected:
        counts[k["MsgType"]] = counts.get(k["MsgType"], 0) + 1
    print(f"messages {len(expected)} agree in type and order; fields compared {fields}, differing {bad}")
    print("by type: " + ", ".join(f"{t}: {n}" for t, n in sorted(counts.items())))
    return 1 if bad else 0


sys.exit(main())
