#!/bin/sh
# The picture of the instrument strip: the demo voyage (kvtool simulate, which sends depth, wind
# and heading with its positions) played into the program with [Display] Instruments=true, the
# window saved after a minute and a half of the voyage. Made under Xvfb from a copy of demo/.
# usage: docs/make_instrument_screenshot.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to docs/)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=$(mkdir -p "${2:-$root/docs}" && cd "${2:-$root/docs}" && pwd)
work=$(mktemp -d)
sim=
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$root/demo/." "$work/"
cd "$work"
rm -f kvfree.ini live.cfg
mkdir -p dev logs
if [ -f charts/solent/SolentPortfolio.cht ]; then
  chartdir=charts/solent/ chart=SolentPortfolio
else
  chartdir=charts/ chart=world
fi
# The live configuration of scripts/run.sh: the chart, the start at the Needles, the route, the
# interface opened at start, a fix a second, COM 9 at 38400 baud.
"$build/kvtool" config /nonexistent/kelvw.cfg | grep -v '^#' | cut -f2- | awk -v chart="$chart" -v dir="$chartdir" '
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
printf '[AIS]\nClassBAndAtoNTargets=true\n[Display]\nInstruments=true\n' > kvfree.ini
"$build/kvtool" simulate --route routes/solent.rte --speed 10 --targets 6 --seed 21 --rate 10 \
  --pty --link dev/com9 >/dev/null &
sim=$!
for _ in $(seq 50); do
  [ -L dev/com9 ] && break
  sleep 0.1
done
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kvfree" --workdir . live.cfg \
  --screenshot "$out/instrument-strip.png" --after 11
echo "wrote $out/instrument-strip.png"
