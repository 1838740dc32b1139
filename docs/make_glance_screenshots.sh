#!/bin/sh
# Pictures of AIS at a glance: a dangerous ship with its pop-up among labelled targets, and the
# night palette, made under Xvfb from a copy of demo/.
# usage: docs/make_glance_screenshots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvglanceshot" "$work" "$out"
