#!/usr/bin/env bash
# The pictures of docs/, made under Xvfb from a clean copy of demo/.
#
#   bash docs/make-pictures.sh [SCENE...]    the pictures of the scenes named (all without one)
#   bash docs/make-pictures.sh --list        the scenes, each with the pictures it makes
#
# BUILD is the build folder (default build/release, configured here when it is not yet); what
# the scenes need of it (kvshot, kvtool, kvfree) is built first. OUT is where the pictures go
# (default docs/).
#
# Most scenes are kvshot's, which drives the program's windows in one process over recording
# fakes. The scenes here run the program itself: live voyages fed by the voyage simulator
# (kvtool simulate) through a pseudo-terminal, the pointer moved with xdotool, a view printed
# through the Print command to a PDF (turned into a PNG with pdftoppm), and chart renders by
# kvtool render. Needs xvfb-run, xdotool and pdftoppm (scripts/deps.sh installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/release}
out=${OUT:-$root/docs}
screen="-screen 0 1280x1024x24"

# The scenes of this script and their pictures.
script_scenes="live enc-live instruments view-aids free-look course-up portfolio world-renders"
pictures_of() {
  case $1 in
    live) echo screenshot-live.png ;;
    enc-live) echo enc-live.png ;;
    instruments) echo instrument-strip.png ;;
    view-aids) echo view-aids.png view-printed-page.png ;;
    free-look) echo view-free-look.png ;;
    course-up) echo view-course-up.png ;;
    portfolio) echo solent-portfolio.png ;;
    world-renders) echo world-route.png biscay-route.png biscay-targets.png ;;
  esac
}

# Builds the programs named, in the build folder.
build_targets() {
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build" -j 2 --target "$@" >/dev/null
}

# A fresh working folder with what demo/ holds in the repository (not the files a run of the
# program left there), in $work; removed at the end.
work=
sim=
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi
  if [ -n "$work" ]; then rm -rf "$work"; fi
}
# Qt wants a private runtime folder.
runtime=
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  runtime=$(mktemp -d)
  export XDG_RUNTIME_DIR=$runtime
fi
trap 'cleanup; if [ -n "$runtime" ]; then rm -rf "$runtime"; fi' EXIT
fresh_demo() {
  cleanup
  sim=
  work=$(mktemp -d)
  if git -C "$root" ls-files --error-unmatch demo >/dev/null 2>&1; then
    (cd "$root/demo" && git ls-files -z . | xargs -0 cp --parents -t "$work")
  else
    cp -r "$root/demo/." "$work/"
  fi
  mkdir -p "$work/charts" "$work/routes" "$work/tides" "$work/logs" "$work/dev"
}

# The configuration of scripts/run.sh's live voyage as FILE in the working folder: the chart
# (line 1) in its folder (line 45), the start at the Needles, the route "solent", the interface
# opened at start, a fix a second, COM 9 at 38400 baud.
live_config() {
  local chart=$1 dir=$2
  "$build/kvtool" config /nonexistent/kelvw.cfg | grep -v '^#' | cut -f2- | awk -v chart="$chart" -v dir="$dir" '
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
    { printf "%s\r\n", $0 }' > "$work/live.cfg"
}

# The voyage simulator with the arguments given, on a pseudo-terminal that dev/PORT of the working
# folder points to; waits for the link.
start_simulator() {
  local port=$1
  shift
  (cd "$work" && exec "$build/kvtool" simulate "$@" --pty --link "dev/$port" >/dev/null) &
  sim=$!
  for _ in $(seq 50); do
    [ -L "$work/dev/$port" ] && return 0
    sleep 0.1
  done
  echo "the simulator did not start" >&2
  return 1
}

# A live voyage from the Needles: the Solent portfolio (the world chart when the portfolio is
# missing), the route to Portsmouth, AIS traffic about it.
solent_chart() {
  if [ -f "$work/charts/solent/SolentPortfolio.cht" ]; then
    echo "SolentPortfolio charts/solent/"
  else
    echo "world charts/"
  fi
}

# A quarter of an hour after leaving the Needles, at 60 simulated seconds to a real one.
scene_live() {
  fresh_demo
  # shellcheck disable=SC2046
  live_config $(solent_chart)
  printf '[AIS]\nClassBAndAtoNTargets=true\n' > "$work/kvfree.ini"
  start_simulator com9 --route routes/solent.rte --speed 10 --targets 6 --seed 21 --rate 60 \
    --time 2026-06-15T10:00:00
  (cd "$work" && xvfb-run -a -s "$screen" "$build/kvfree" --workdir . live.cfg --show-ais \
    --screenshot "$out/screenshot-live.png" --after 17.5)
}

# The same voyage over the ENC portfolio of the fictional Kelvin Haven with the areas filled,
# ten minutes out.
scene_enc_live() {
  fresh_demo
  live_config Kelvin-NotForNavigationPortfolio charts/enc/
  printf '[AIS]\nClassBAndAtoNTargets=true\n[Display]\nFillAreas=true\n' > "$work/kvfree.ini"
  start_simulator com9 --route routes/solent.rte --speed 10 --targets 3 --seed 21 --rate 60 \
    --time 2026-06-15T10:00:00
  (cd "$work" && xvfb-run -a -s "$screen" "$build/kvfree" --workdir . live.cfg \
    --screenshot "$out/enc-live.png" --after 12.5)
}

# The instrument strip: the simulator sends depth, wind and heading with its positions; the
# window after a minute and a half of the voyage.
scene_instruments() {
  fresh_demo
  # shellcheck disable=SC2046
  live_config $(solent_chart)
  printf '[AIS]\nClassBAndAtoNTargets=true\n[Display]\nInstruments=true\n' > "$work/kvfree.ini"
  start_simulator com9 --route routes/solent.rte --speed 10 --targets 6 --seed 21 --rate 10
  (cd "$work" && xvfb-run -a -s "$screen" "$build/kvfree" --workdir . live.cfg \
    --screenshot "$out/instrument-strip.png" --after 11)
}

# A passage south from St Catherine's on the world chart, at zoom 16 (rings of 0.5 to 4 Nm fit
# the view), the interface opened at start on COM 1 with a fix a second.
passage_folder() {
  fresh_demo
  cat > "$work/passage.gpx" <<'EOF'
<?xml version="1.0"?><gpx version="1.1" creator="shot"><rte><rtept lat="50.550000" lon="-1.300000"><name>WP1</name></rtept><rtept lat="50.250000" lon="-1.450000"><name>WP2</name></rtept><rtept lat="49.950000" lon="-1.550000"><name>WP3</name></rtept><rtept lat="49.700000" lon="-1.620000"><name>WP4</name></rtept></rte></gpx>
EOF
  "$build/kvtool" route-import "$work/passage.gpx" "$work/routes/passage.rte" >/dev/null 2>&1
  "$build/kvtool" config /nonexistent/kelvw.cfg | grep -v '^#' | cut -f2- | awk '
    NR == 2 { $0 = " 5.05500000000000E+0001" }
    NR == 3 { $0 = " 1.25000000000000E+0000" }
    NR == 4 { $0 = " 1.60000000000000E+0001" }
    NR == 12 { $0 = "passage" }
    NR == 23 { $0 = "Auto" }
    NR == 25 { $0 = "1000" }
    NR == 46 { $0 = "1" }
    NR == 47 { $0 = "4800" }
    { printf "%s\r\n", $0 }' > "$work/kelvw.cfg"
}

# The program on the passage for 16 seconds of a voyage at 120 simulated seconds to a real one:
# own ship under way south-south-west at about 8 knots, two AIS targets about it. POINTER is
# what xdotool does four seconds before the picture; further arguments go to kvfree.
passage_voyage() {
  local picture=$1 pointer=$2
  shift 2
  passage_folder
  start_simulator com1 --start 50.60 1.22W --course 195 --speed 8 --targets 2 --seed 7 --rate 120
  (cd "$work" && xvfb-run -a -s "$screen" bash -c \
    '"$1" --workdir . --screenshot "$2" --after 16 "${@:4}" & pid=$!; sleep 12; eval "$3"; wait $pid' \
    shot "$build/kvfree" "$picture" "$pointer" "$@")
}

# The view's aids with the mouse readout in the status bar (the pointer moved over the chart
# shortly before the picture), and the view printed on white paper.
scene_view_aids() {
  local pdf
  pdf=$(mktemp -d)
  passage_voyage "$out/view-aids.png" \
    "xdotool mousemove 820 430; sleep 0.5; xdotool mousemove 840 445" --rings 3 --print-pdf "$pdf/page.pdf"
  if [ ! -f "$pdf/page.pdf" ]; then
    echo "no PDF was printed" >&2
    rm -rf "$pdf"
    return 1
  fi
  pdftoppm -r 90 -png -singlefile "$pdf/page.pdf" "$out/view-printed-page"
  rm -rf "$pdf"
}

# Free look: the chart dragged up with the middle button (three drags, each as far as the
# window's scroll range allows) to see the water ahead of the boat; the fixes that follow move
# the boat, not the chart.
scene_free_look() {
  local drag="xdotool mousemove 640 700; xdotool mousedown 2; sleep 0.2; xdotool mousemove 645 640; sleep 0.2; \
xdotool mousemove 650 560; sleep 0.2; xdotool mouseup 2; sleep 0.4;"
  passage_voyage "$out/view-free-look.png" "$drag $drag $drag xdotool mousemove 1000 200"
}

# Course up: the boat's course points up; the north arrow in the corner shows where north is.
scene_course_up() {
  passage_voyage "$out/view-course-up.png" true --rings 3 --course-up
}

# The demo Solent portfolio's overview chart with the outlines of its tiles, centred on the area
# (the overview's own configuration centres it south of the area, see demo/charts/README.md).
scene_portfolio() {
  "$build/kvtool" render "$root/demo" "$out/solent-portfolio.png" --chart solent/SolentPortfolio \
    --centre 50.725 1.45 --zoom 10 --size 1024x768
}

# The world chart with a route, a track log and an AIS log kept in docs/render-demo/.
scene_world_renders() {
  local d=$root/docs/render-demo
  local logs=(--route "$d/routes/atlantic.rte" --log "$d/logs/voyage.log" --ais "$d/logs/voyage.AIS")
  "$build/kvtool" render "$root/demo" "$out/world-route.png" "${logs[@]}"
  "$build/kvtool" render "$root/demo" "$out/biscay-route.png" --centre 46.5 6.5 --zoom 1 "${logs[@]}"
  "$build/kvtool" render "$root/demo" "$out/biscay-targets.png" --centre 45.05 8.3 --zoom 8 --size 800x600 \
    "${logs[@]}"
}

is_script_scene() {
  case " $script_scenes " in *" $1 "*) return 0 ;; esac
  return 1
}

if [ "${1:-}" = --list ]; then
  [ -x "$build/kvshot" ] || build_targets kvshot
  "$build/kvshot" --list
  for scene in $script_scenes; do
    printf '%s\t%s\n' "$scene" "$(pictures_of "$scene")"
  done
  exit 0
fi

# The scenes asked for, split between kvshot's and this script's.
build_targets kvshot kvtool kvfree
shot_scenes=()
here_scenes=()
if [ $# -eq 0 ]; then
  read -r -a here_scenes <<< "$script_scenes"
else
  known=$("$build/kvshot" --list | cut -f1)
  for scene in "$@"; do
    if is_script_scene "$scene"; then
      here_scenes+=("$scene")
    elif printf '%s\n' "$known" | grep -qx -- "$scene"; then
      shot_scenes+=("$scene")
    else
      echo "no scene \"$scene\" (bash docs/make-pictures.sh --list names them)" >&2
      exit 2
    fi
  done
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

failed=0
if [ $# -eq 0 ] || [ ${#shot_scenes[@]} -gt 0 ]; then
  fresh_demo
  xvfb-run -a -s "$screen" "$build/kvshot" "$work" "$out" "${shot_scenes[@]}" || failed=1
fi
for scene in "${here_scenes[@]}"; do
  if "scene_${scene//-/_}"; then
    echo "$scene: done"
  else
    echo "$scene: FAILED"
    failed=1
  fi
  cleanup
  sim=
  work=
done
exit $failed
