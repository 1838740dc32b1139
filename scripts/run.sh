#!/usr/bin/env bash
# Sets up, builds and starts the program in the demo working folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Let ccache share objects between checkouts of the project in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target kvfree kvtool
mkdir -p demo/charts demo/routes demo/tides demo/logs
cd demo
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ../build/release/kvfree --workdir . "$@"
fi
echo "No display here: starting KVFree on a virtual display and saving a picture of its window."
xvfb-run -a -s "-screen 0 1280x1024x24" ../build/release/kvfree --workdir . "$@" --screenshot screenshot.png --after 4
echo "Look at demo/screenshot.png. To use the window, run this command again from a desktop session"
echo "(or over 'ssh -X'), or run: cd demo && xvfb-run ../build/release/kvfree --workdir ."
