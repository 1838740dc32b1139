#!/bin/sh
# Pictures of an AIS encounter (a Class B yacht on a collision course, drawn red with its track to
# the closest point), of the AIS target list, of the AIS view after a list row, File > New View and
# Window > Tile, and after "AIS Clear All Targets", made under Xvfb from a copy of demo/.
# usage: docs/make_ais_screenshots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvaisshot" "$work" "$out"
