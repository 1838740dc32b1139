#!/bin/sh
# Pictures of chart editing (the Edit menu, the "Auto Generate Survey Grid" dialog and a small
# harbour drawn with a survey grid laid in it), made under Xvfb from a copy of demo/.
# usage: docs/make_edit_screenshots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
mkdir -p "$work/charts" "$work/routes" "$work/tides" "$work/logs"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kveditshot" "$work" "$out"
