#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite twice: a normal build and an
# AddressSanitizer + UndefinedBehaviorSanitizer build; between them every fuzz target runs for a
# short time. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Let ccache share objects between checkouts of the project in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; a CI machine has none.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt's own libraries are not built with the sanitizers; their allocations are not ours to judge.
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp

status=0
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600) || status=1
}

echo "== normal build =="
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Every reader's fuzz target for a short fixed time on its corpus and regression inputs (clang,
# libFuzzer); a crash, leak, sanitizer report, timeout or broken reader promise fails the run.
echo "== fuzz targets (${KV_FUZZ_SECONDS:-20} s each) =="
if cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON >/dev/null \
    && cmake --build build/fuzz -j "$jobs"; then
  bash fuzz/run.sh build/fuzz "${KV_FUZZ_SECONDS:-20}" || status=1
else
  status=1
fi
echo "== sanitizer build (address, undefined) =="
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON
exit $status
