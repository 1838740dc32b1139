#!/bin/sh
# The demonstration harbour plan of the raster image viewer: the demo world chart drawn by
# kvtool render around the Strait of Dover, once as a JPEG and once as a 256-colour bitmap, with
# the reference file (corner positions) both share. Drawn by this program from the demo chart,
# so the pictures carry the chart's licence and nothing else.
# usage: scripts/make_harbour_plan.sh BUILD_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/charts"
cp "$root/demo/charts/world.cht" "$root/demo/charts/world.cfg" "$work/charts/"
out="$root/demo/charts/HarbourPlan"
# Centre 51.05 N 1.45 E (west positive: -1.45).
for ext in jpg bmp; do
    "$build/kvtool" render "$work" "$out.$ext" --chart world --centre 51.05 -1.45 --zoom 16 --size 512x384 \
        --ref "$out.ref"
done
