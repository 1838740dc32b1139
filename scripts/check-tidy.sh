#!/usr/bin/env bash
# The clang-tidy checks the repository configures (.clang-tidy) over every C++ file of the project
# that the build compiles (every entry of compile_commands.json outside the build folder), so the
# verdict is the same whichever commit came last. Any warning fails the check.
#
# A file found clean is remembered in a cache outside the clone (KV_TIDY_CACHE, default
# ${XDG_CACHE_HOME:-~/.cache}/kvfree/tidy), under a hash of everything the verdict depends on: the
# file's text, its compile commands (with the clone's and the build folder's paths taken out, so
# every clone of the project shares the cache), the text of each project header it includes (a
# header's warnings are reported through the files that include it; the build's dependency record
# says which those are, and a file the build has not compiled yet counts every header), .clang-tidy
# and the clang-tidy version. Such a file is not checked again. Files with findings are never
# cached, so they are reported on every run.
#
# `scripts/check-tidy.sh` checks the whole tree; `scripts/check-tidy.sh FILE...` only those files.
# Needs a build folder with compile_commands.json (BUILD, default build/release); KV_TIDY_JOBS
# clang-tidy processes at once (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD:-build/release}
db=$build/compile_commands.json
[ -f "$db" ] || { echo "check-tidy: no $db (configure first)" >&2; exit 2; }
command -v clang-tidy >/dev/null || { echo "check-tidy: clang-tidy is not installed (scripts/deps.sh)" >&2; exit 2; }
build_abs=$(cd "$build" && pwd)
cache=${KV_TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kvfree/tidy}
jobs=${KV_TIDY_JOBS:-$(nproc)}
mkdir -p "$cache"

# Each project file the build compiles with its compile commands, one line per command:
# FILE <tab> DIRECTORY <tab> COMMAND, paths of the clone and the build folder replaced by
# placeholders. (CMake writes one field per line; a file compiled for several programs, such as a
# shared main, has one entry for each and clang-tidy checks it under each.)
commands=$(awk -v root="$root/" -v build="$build_abs/" '
  function unquote(line) {
    sub(/^[ \t]*"[a-z]+": "/, "", line); sub(/",?[ \t]*$/, "", line); return line
  }
  function swap(text, from, to,   at, out) {
    out = ""
    while ((at = index(text, from)) > 0) {
      out = out substr(text, 1, at - 1) to; text = substr(text, at + length(from))
    }
    return out text
  }
  # A folder also stands bare before the escaped quote that ends a define (a test program is
  # told where its sources are).
  function place(text) {
    text = swap(swap(text, build, "@BUILD@/"), root, "@SOURCE@/")
    return swap(swap(text, bare(build) "\\", "@BUILD@\\"), bare(root) "\\", "@SOURCE@\\")
  }
  function bare(folder) { return substr(folder, 1, length(folder) - 1) }
  /^[ \t]*"directory": / { dir = unquote($0) }
  /^[ \t]*"command": /   { cmd = unquote($0) }
  /^[ \t]*"file": /      { file = unquote($0)
    if (index(file, root) == 1 && index(file, build) != 1)
      printf "%s\t%s\t%s\n", substr(file, length(root) + 1), place(dir), place(cmd) }
' "$db" | LC_ALL=C sort)

if [ $# -gt 0 ]; then
  wanted=$(printf '%s\n' "$@" | sed "s|^$root/||; s|^\./||" | LC_ALL=C sort -u)
  commands=$(awk -F'\t' 'NR == FNR { want[$0] = 1; next } ($1 in want)' <(echo "$wanted") <(echo "$commands"))
fi
mapfile -t files < <(cut -f1 <<<"$commands" | LC_ALL=C sort -u | sed '/^$/d')
echo "check-tidy: ${#files[@]} file(s)"
[ ${#files[@]} -eq 0 ] && exit 0

# What every file's verdict depends on besides its own text, commands and headers.
common=$({ clang-tidy --version; cat .clang-tidy; } | sha256sum | cut -c1-64)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/material"
# The text of every project header, and the build's record of the headers each object file was
# compiled from (paths relative to the build folder).
find src tools app bench tests fuzz -type f \( -name '*.h' -o -name '*.hpp' \) -print0 |
  LC_ALL=C sort -z | xargs -0 -r sha256sum >"$tmp/headers"
ninja -C "$build" -t deps >"$tmp/deps" 2>/dev/null || : >"$tmp/deps"
up=$(realpath --relative-to="$build_abs" "$root")/
allheaders=$(sha256sum <"$tmp/headers" | cut -c1-64)

# Each file's key: the hash of the common part, its name, its text's hash, its commands and the
# hashes of its headers (each command's object file's, or all of them when the build has no
# record of it), all hashed in one go (a few processes for the whole tree, not a few per file).
printf '%s\0' "${files[@]}" | xargs -0 sha256sum >"$tmp/text"
awk -F'\t' -v common="$common" -v out="$tmp/material" -v up="$up" -v root="$root/" -v all="$allheaders" '
  FILENAME == ARGV[1] { hash[substr($0, 67)] = substr($0, 1, 64); next }
  FILENAME == ARGV[2] {
    if ($0 ~ /^[^ ].*: #deps /) { object = substr($0, 1, index($0, ": #deps ") - 1); seen[object] = 1; next }
    path = $0; sub(/^[ \t]+/, "", path)
    if (index(path, up) == 1) path = substr(path, length(up) + 1)
    else if (index(path, root) == 1) path = substr(path, length(root) + 1)
    if (path in hash) uses[object] = uses[object] hash[path] " " path "\n"
    next
  }
  FILENAME == ARGV[3] { at[substr($0, 67)] = FNR
                        material[FNR] = common "\n" substr($0, 67) "\n" substr($0, 1, 64) "\n"; count = FNR; next }
  ($1 in at) {
    object = ""
    if (match($3, / -o [^ ]+/)) object = substr($3, RSTART + 4, RLENGTH - 4)
    material[at[$1]] = material[at[$1]] $0 "\n" (object in seen ? uses[object] : "all " all "\n")
  }
  END { for (i = 1; i <= count; ++i) { f = out "/" i; printf "%s", material[i] > f; close(f) } }
' "$tmp/headers" "$tmp/deps" "$tmp/text" - <<<"$commands"
mapfile -t keys < <(cd "$tmp/material" && printf '%s\n' "${!files[@]}" | awk '{ print $1 + 1 }' |
                    xargs sha256sum | cut -c1-64)
todo=()
hits=()
for i in "${!files[@]}"; do
  if [ -e "$cache/${keys[i]}" ]; then
    hits+=("$cache/${keys[i]}")
  else
    todo+=("${files[i]}" "${keys[i]}")
  fi
done
cached=${#hits[@]}
# An entry lives a month from its last use (a changed file or header makes new ones).
[ "$cached" -gt 0 ] && printf '%s\0' "${hits[@]}" | xargs -0 touch
find "$cache" -maxdepth 1 -type f -mtime +30 -delete
echo "check-tidy: $cached clean before on these very inputs, $(( ${#todo[@]} / 2 )) to check"
[ ${#todo[@]} -eq 0 ] && exit 0

# One file: its warnings are printed in one piece after it is done (not interleaved with the
# other processes'), and a clean file's key goes into the cache.
check_one() {
  local out
  if out=$(clang-tidy -p "$build" --quiet --warnings-as-errors='*' "$1" 2>&1); then
    touch "$cache/$2"
  else
    grep -v -E '^[0-9]+ warnings? (generated|and [0-9]+ errors? generated|treated as errors)\.?$' <<<"$out" >&2 || true
    echo "check-tidy: findings in $1" >&2
    return 1
  fi
}
export -f check_one
export build cache
if printf '%s\0' "${todo[@]}" | xargs -0 -r -n 2 -P "$jobs" bash -c 'check_one "$@"' check_one; then
  echo "check-tidy: clean"
else
  echo "check-tidy: findings (above)" >&2
  exit 1
fi
