#!/bin/sh
# The picture of an anchor watch with the "Anchor drag" alarm raised (anchor-watch.png), made
# under Xvfb from a copy of demo/.
# usage: docs/make_anchor_screenshot.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvanchorshot" "$work" "$out"
