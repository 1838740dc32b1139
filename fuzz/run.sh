#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each on its corpus and its regression
# inputs, two at a time. New inputs go to a scratch copy, so the committed corpus stays as it is.
# Fails on any crash, leak, sanitizer report, timeout or broken reader promise, and prints the
# executions of each target. The mutations follow a fixed seed ($KV_FUZZ_SEED, 1 by default) so
# that a run that passes on one machine passes on the next: finding new faults is the long run's
# job (fuzz/run-long.sh, random seeds), this one guards against the old ones coming back.
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
build=$1; seconds=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$build"/fuzz/fuzz_*; do
    if [ -f "$f" ] && [ -x "$f" ]; then targets+=("$(basename "$f" | sed 's/^fuzz_//')"); fi
  done
fi
# Scratch files on a memory file system where there is one: the readers' files are rewritten at
# every execution, and the program's rewrites flush to the disc.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
jobs=${KV_FUZZ_JOBS:-2}
seed=${KV_FUZZ_SEED:-1}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../scripts/lsan.supp}

run_one() {
  local t=$1 dir=$work/$1
  mkdir -p "$dir/new" "$dir/tmp"
  local inputs=("$here/corpus/$t")
  [ -d "$here/regressions/$t" ] && inputs+=("$here/regressions/$t")
  # The scratch files of file readers go to the target's own folder.
  if TMPDIR=$dir/tmp nice -n 10 "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -seed="$seed" -print_final_stats=1 -artifact_prefix="$dir/" "$dir/new" "${inputs[@]}" >"$dir/log" 2>&1; then
    echo "$t $(grep -m1 'stat::number_of_executed_units' "$dir/log" | awk '{print $2}') ok"
  else
    echo "$t FAILED"
    tail -n 60 "$dir/log" | sed "s/^/  [$t] /"
    for a in "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*; do
      [ -e "$a" ] && echo "  [$t] input kept: $a (copy it to fuzz/regressions/$t/)" && cp "$a" "${KV_FUZZ_ARTIFACTS:-/tmp}/" 2>/dev/null || true
    done
    return 1
  fi
}
export -f run_one
export build seconds here work seed

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}' >"$work/summary" || true
cat "$work/summary"
if grep -q FAILED "$work/summary"; then
  exit 1
fi
