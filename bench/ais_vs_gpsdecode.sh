#!/bin/sh
# Decoding speed of "kvtool ais-decode" beside Debian's gpsdecode (package gpsd-clients, used
# only as an independent yardstick) on the same generated stream of !AIVDM sentences.
# Usage: bench/ais_vs_gpsdecode.sh [KVTOOL] [SENTENCES] [RUNS]
set -eu
KVTOOL=${1:-build/kvtool}
N=${2:-1000000}
RUNS=${3:-3}
command -v gpsdecode >/dev/null || { echo "gpsdecode not installed (apt-get install -y gpsd-clients)" >&2; exit 1; }
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
"$KVTOOL" ais-gen "$N" 7 > "$DIR/in.nmea"
SENTENCES=$(wc -l < "$DIR/in.nmea")

# Best of RUNS wall-clock seconds of a command reading the file on stdin.
best() {
    b=""
    i=0
    while [ $i -lt "$RUNS" ]; do
        s=$(date +%s.%N)
        "$@" < "$DIR/in.nmea" > "$DIR/out.json"
        e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
        i=$((i + 1))
    done
    echo "$b"
}

TK=$(best "$KVTOOL" ais-decode)
OK=$(wc -l < "$DIR/out.json")
TG=$(best gpsdecode)
OG=$(wc -l < "$DIR/out.json")
RK=$(echo "$SENTENCES / $TK" | bc -l)
RG=$(echo "$SENTENCES / $TG" | bc -l)
printf 'sentences            %d\n' "$SENTENCES"
printf 'kvtool ais-decode    %.3f s  %.0f sentences/s  (%d messages)\n' "$TK" "$RK" "$OK"
printf 'gpsdecode            %.3f s  %.0f sentences/s  (%d messages)\n' "$TG" "$RG" "$OG"
printf 'ratio                %.2f\n' "$(echo "$RK / $RG" | bc -l)"
