#!/usr/bin/env bash
# A long fuzzing run: HOURS shared evenly by the targets (or those named), one target at a time
# at low priority, then the inputs that reach new code are merged into fuzz/corpus/<target>/.
# Prints the executions of each target; inputs that broke a target are left in
# fuzz/findings/<target>/ to be minimised (-minimize_crash=1) and kept in fuzz/regressions/.
#
#   fuzz/run-long.sh HOURS [TARGET...]      (the fuzz build in build/fuzz, or $KV_FUZZ_BUILD)
set -euo pipefail
hours=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
build=${KV_FUZZ_BUILD:-$here/../build/fuzz}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$build"/fuzz/fuzz_*; do
    if [ -f "$f" ] && [ -x "$f" ]; then targets+=("$(basename "$f" | sed 's/^fuzz_//')"); fi
  done
fi
seconds=$(awk -v h="$hours" -v n=${#targets[@]} 'BEGIN { s = int(h * 3600 / n); print (s < 1 ? 1 : s) }')
# Scratch files on a memory file system where there is one: the readers' files are rewritten at
# every execution, and the program's rewrites flush to the disc.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../scripts/lsan.supp}

failed=0
for t in "${targets[@]}"; do
  dir=$work/$t
  mkdir -p "$dir/new" "$dir/tmp" "$here/findings/$t"
  inputs=("$here/corpus/$t")
  [ -d "$here/regressions/$t" ] && inputs+=("$here/regressions/$t")
  # Keep going after a finding, so that one fault does not hide the rest of the run.
  if TMPDIR=$dir/tmp nice -n 10 "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
      -artifact_prefix="$here/findings/$t/" "$dir/new" "${inputs[@]}" >"$dir/log" 2>&1; then :; fi
  # Fork mode reports its progress as "#EXECUTIONS: cov: ..." lines; the last one is the total.
  execs=$(grep -E '^#[0-9]+' "$dir/log" | tail -1 | sed 's/^#\([0-9]*\).*/\1/' || true)
  findings=$(find "$here/findings/$t" -type f | wc -l)
  # Only inputs that add coverage join the committed corpus.
  TMPDIR=$dir/tmp "$build/fuzz/fuzz_$t" -merge=1 -max_len=8192 "$here/corpus/$t" "$dir/new" >"$dir/merge.log" 2>&1 || true
  echo "$t executions ${execs:-?} findings $findings corpus $(ls "$here/corpus/$t" | wc -l)"
  [ "$findings" -eq 0 ] || failed=1
  rmdir "$here/findings/$t" 2>/dev/null || true
done
exit $failed
