#!/bin/sh
# Decoding speed of "kvtool ais-decode" beside Debian's gpsdecode (package gpsd-clients, used
# only as an independent yardstick) on the same generated streams of !AIVDM sentences: the
# Class A mix with ais-decode, and a Class B-rich mix (ais-gen --small-craft) with --all.
# Usage: bench/ais_vs_gpsdecode.sh [KVTOOL] [SENTENCES] [RUNS]
set -eu
KVTOOL=${1:-build/kvtool}
N=${2:-1000000}
RUNS=${3:-3}
command -v gpsdecode >/dev/null || { echo "gpsdecode not installed (apt-get install -y gpsd-clients)" >&2; exit 1; }
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT

# Best of RUNS wall-clock seconds of a command reading $IN on stdin.
best() {
    b=""
    i=0
    while [ $i -lt "$RUNS" ]; do
        s=$(date +%s.%N)
        "$@" < "$IN" > "$DIR/out.json"
        e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
        i=$((i + 1))
    done
    echo "$b"
}

# compare LABEL KVTOOL-ARGS...: kvtool and gpsdecode -u -j in turn on $IN.
compare() {
    label=$1
    shift
    SENTENCES=$(wc -l < "$IN")
    TK=$(best "$KVTOOL" "$@")
    OK=$(wc -l < "$DIR/out.json")
    TG=$(best gpsdecode -u -j)
    OG=$(wc -l < "$DIR/out.json")
    RK=$(echo "$SENTENCES / $TK" | bc -l)
    RG=$(echo "$SENTENCES / $TG" | bc -l)
    printf '%s: %d sentences\n' "$label" "$SENTENCES"
    printf '  kvtool %-15s %.3f s  %.0f sentences/s  (%d messages)\n' "$*" "$TK" "$RK" "$OK"
    printf '  gpsdecode -u -j        %.3f s  %.0f sentences/s  (%d messages)\n' "$TG" "$RG" "$OG"
    printf '  ratio                  %.2f\n' "$(echo "$RK / $RG" | bc -l)"
}

IN=$DIR/class-a.nmea
"$KVTOOL" ais-gen "$N" 7 > "$IN"
compare "Class A mix" ais-decode
IN=$DIR/small-craft.nmea
"$KVTOOL" ais-gen "$N" 7 --small-craft > "$IN"
compare "Class B-rich mix" ais-decode --all
