#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite twice: a normal build and an
# AddressSanitizer + UndefinedBehaviorSanitizer build; between them every fuzz target runs for a
# short time. Exits non-zero on any failure (the format and clang-tidy checks are switched below).
#
# Each build folder builds only the test programs and what they start (target kv_test_programs;
# the fuzz folder only the fuzz targets), and the compiler cache serves every clone of the project.
# A part that passed on exactly the present sources is not run again (the stamps in
# build/test-stamps); the fuzz targets then only replay their corpus and regression inputs.
# KV_TEST_FORCE=1 runs everything in full.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Let ccache share objects between checkouts of the project in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# The formatting check (scripts/check-format.sh) fails on any C++ file clang-format would change.
# The clang-tidy check (scripts/check-tidy.sh) judges every file the normal build compiles; a file
# found clean on the same inputs before (in any clone) comes from its cache.
check_format=1
check_tidy=1

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; a CI machine has none.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt's own libraries are not built with the sanitizers; their allocations are not ours to judge.
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp

# The state of the sources: every file git tracks or would track, as it is now. Outside a git
# checkout there is no state to compare, and every part runs.
source_state() {
  if git rev-parse --git-dir >/dev/null 2>&1; then
    { git ls-files -s -- "$@"; git diff HEAD -- "$@"; \
      git ls-files -z -o --exclude-standard -- "$@" | xargs -0 -r sha1sum; } | sha1sum | cut -c1-40
  else
    echo "no-git-$$-$RANDOM"
  fi
}
stamps=build/test-stamps
mkdir -p "$stamps"
state=$(source_state)
fuzzed_state=$(source_state src fuzz CMakeLists.txt cmake scripts/lsan.supp)
unchanged() { # NAME [STATE]: true when NAME passed last on these sources
  [ "${KV_TEST_FORCE:-0}" != 1 ] && [ -f "$stamps/$1" ] && [ "$(cat "$stamps/$1")" = "${2:-$state}" ]
}
passed() { echo "${2:-$state}" >"$stamps/$1"; }

status=0
run_suite() {
  local dir=$1 name=$2; shift 2
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" --target kv_test_programs
  if unchanged "$name"; then
    echo "$name: passed on these very sources before; not run again"
  elif (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600); then
    passed "$name"
  else
    status=1
  fi
}

if [ "$check_format" = 1 ]; then
  echo "== format =="
  bash scripts/check-format.sh || status=1
fi
echo "== normal build =="
run_suite build/release release -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "$check_tidy" = 1 ]; then
  echo "== clang-tidy (every file the normal build compiles) =="
  if unchanged tidy; then
    echo "tidy: passed on these very sources before; not run again"
  elif BUILD=build/release bash scripts/check-tidy.sh; then
    passed tidy
  else
    status=1
  fi
fi
# Every reader's fuzz target for a short fixed time on its corpus and regression inputs (clang,
# libFuzzer); a crash, leak, sanitizer report, timeout or broken reader promise fails the run.
fuzz_seconds=${KV_FUZZ_SECONDS:-20}
if unchanged fuzz "$fuzzed_state"; then
  fuzz_seconds=1
fi
echo "== fuzz targets (${fuzz_seconds} s each) =="
if cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON >/dev/null \
    && cmake --build build/fuzz -j "$jobs" --target kv_fuzz_targets; then
  if KV_FUZZ_JOBS=$jobs bash fuzz/run.sh build/fuzz "$fuzz_seconds"; then
    passed fuzz "$fuzzed_state"
  else
    status=1
  fi
else
  status=1
fi
echo "== sanitizer build (address, undefined) =="
run_suite build/asan asan -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON
exit $status
