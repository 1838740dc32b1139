#!/bin/sh
# Pictures of the "View and Zoom Properties" dialog and of a survey-log plot with colour blobs
# and legend over a small harbour chart, made under Xvfb from a copy of demo/.
# usage: docs/make_view_options_screenshots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvviewshot" "$work" "$out"
