#!/bin/sh
# The raster image viewer following the vessel across the demo harbour plan (demo/charts/
# HarbourPlan.bmp with its HarbourPlan.ref), opened from the Tools menu while fixes arrive from a
# fake receiver; made under Xvfb from a copy of demo/.
# usage: docs/make_raster_screenshot.sh BUILD_DIR [OUT.png]   (OUT defaults to docs/raster-viewer.png)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs/raster-viewer.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvrastershot" "$work" "$out" charts/HarbourPlan.bmp
