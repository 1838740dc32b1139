#!/usr/bin/env bash
# Soak run: the program at full speed on N AIS sentences (default one million, mixed Class A,
# Class B and aids to navigation from kvtool ais-gen) with a fix after every 10 of them (100,000
# fixes for a million), in a working folder made from demo/ on a memory file system. Writes
# docs/soak.csv (one line every 10,000 sentences: resident memory, open descriptors, targets, mean
# fix time) and prints the memory after warm-up against the end.
#
#   bash scripts/soak.sh [N]          (uses build/release/kvtool, or $KVTOOL)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${KVTOOL:-build/release/kvtool}
n=${1:-1000000}
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/folder/logs" "$work/folder/routes" "$work/folder/tides"
cp -r demo/charts "$work/folder/"
"$tool" ais-gen "$n" 7 --small-craft >"$work/ais.nmea"
"$tool" soak "$work/folder" "$work/ais.nmea" 10 >docs/soak.csv
# Warm-up: the first 100,000 sentences (the target table fills, the logs open).
awk -F, 'NR == 2 { first = $0 } $1 == 100000 { warm = $3; wfd = $4 } END {
  split($0, last, ",")
  printf "sentences %d, fixes %d\n", last[1], last[2]
  printf "resident memory after warm-up %d kB, at the end %d kB (%+.1f%%)\n", warm, last[3], warm ? 100 * (last[3] - warm) / warm : 0
  printf "open descriptors after warm-up %d, at the end %d\n", wfd, last[4]
}' docs/soak.csv
