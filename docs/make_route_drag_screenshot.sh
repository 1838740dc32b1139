#!/bin/sh
# The picture of a route waypoint dragged with the mouse (route-waypoint-drag.png), made under
# Xvfb from a copy of demo/ by kvrouteshot, which drives the view with mouse events.
# usage: docs/make_route_drag_screenshot.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=${2:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
mkdir -p "$work/charts" "$work/routes" "$work/tides" "$work/logs"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvrouteshot" "$work" "$out/"
