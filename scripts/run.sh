#!/usr/bin/env bash
# Sets up, builds and starts the program in the demo working folder.
#
#   bash scripts/run.sh           a live voyage: the simulator (kvtool simulate) sails the route
#                                 demo/routes/solent.rte from the Needles to Portsmouth with AIS
#                                 traffic about it, feeding the program through a pseudo-terminal
#                                 that demo/dev/com9 points to; the configuration demo/live.cfg
#                                 (made here each time) opens the interface at start
#   bash scripts/run.sh --static  the program on the demo folder's own configuration, no voyage
#
# Further arguments go to kvfree. KV_SIM_RATE sets how many simulated seconds pass in a real one
# (default 10), KV_SIM_TARGETS the number of AIS targets (default 6).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=live
if [ "${1:-}" = "--static" ]; then
  mode=static
  shift
fi
bash scripts/deps.sh
# Let ccache share objects between checkouts of the project in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target kvfree kvtool
mkdir -p demo/charts demo/routes demo/tides demo/logs
cd demo
display=no
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  display=yes
fi

if [ "$mode" = static ]; then
  if [ "$display" = yes ]; then
    exec ../build/release/kvfree --workdir . "$@"
  fi
  echo "No display here: starting KVFree on a virtual display and saving a picture of its window."
  xvfb-run -a -s "-screen 0 1280x1024x24" ../build/release/kvfree --workdir . "$@" --screenshot screenshot.png --after 4
  echo "Look at demo/screenshot.png. To use the window, run this command again from a desktop session"
  echo "(or over 'ssh -X'), or run: cd demo && xvfb-run ../build/release/kvfree --workdir ."
  exit 0
fi

kvtool=../build/release/kvtool
# The Solent chart portfolio when it is there (its tiles load one after another as the vessel
# sails), else the world chart.
if [ -f charts/solent/SolentPortfolio.cht ]; then
  chartdir=charts/solent/ chart=SolentPortfolio
else
  chartdir=charts/ chart=world
fi
# live.cfg: the defaults of a first start with the chart, the start position (the first
# waypoint, longitude west positive), a view zoom of about ten miles across, the route, the
# start mode "Auto" (the interface opens at start), a fix every second, and COM 9 at 38400 baud.
"$kvtool" config /nonexistent/kelvw.cfg | grep -v '^#' | cut -f2- | awk -v chart="$chart" -v dir="$chartdir" '
  NR == 1 { $0 = chart }
  NR == 2 { $0 = "50.639" }
  NR == 3 { $0 = "1.648" }
  NR == 4 { $0 = "8" }
  NR == 12 { $0 = "solent" }
  NR == 23 { $0 = "Auto" }
  NR == 25 { $0 = "1000" }
  NR == 45 { $0 = dir }
  NR == 46 { $0 = "9" }
  NR == 47 { $0 = "38400" }
  { printf "%s\r\n", $0 }' > live.cfg
# Class B yachts are targets only with the switch on, the instrument strip shows the simulated
# depth and wind; a kvfree.ini of the user's is left alone.
if [ ! -e kvfree.ini ]; then
  printf '[AIS]\n; Class B (18, 19, 24) and aid-to-navigation (21) targets\nClassBAndAtoNTargets=true\n; targets shown from the start, labels clear of each other\nShowTargetsAtStart=true\nPlaceTargetLabels=true\n[Display]\n; depth, wind and heading under the navigation panel\nInstruments=true\n' > kvfree.ini
fi

mkdir -p dev
rate="${KV_SIM_RATE:-10}"
targets="${KV_SIM_TARGETS:-6}"
# The simulator starts sailing when the program opens the terminal and stops when it closes it;
# it is also ended here whatever way this script ends.
"$kvtool" simulate --route routes/solent.rte --speed 10 --targets "$targets" --seed 21 --rate "$rate" \
  --pty --link dev/com9 >/dev/null &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -L dev/com9 ] && break
  sleep 0.1
done

if [ "$display" = yes ]; then
  ../build/release/kvfree --workdir . live.cfg --show-ais "$@"
  exit 0
fi
# A minute of the voyage takes 60 / rate seconds once the interface is open (about 2 s after the start).
after=$(awk -v r="$rate" 'BEGIN { printf "%.1f", (r > 0 ? 2.5 + 60 / r : 4) }')
echo "No display here: starting KVFree on a virtual display with a simulated voyage and saving a"
echo "picture of its window after a minute of the voyage."
xvfb-run -a -s "-screen 0 1280x1024x24" ../build/release/kvfree --workdir . live.cfg --show-ais "$@" \
  --screenshot screenshot.png --after "$after"
echo "Look at demo/screenshot.png. To use the window, run this command again from a desktop session"
echo "(or over 'ssh -X'). 'bash scripts/run.sh --static' starts without the voyage."
