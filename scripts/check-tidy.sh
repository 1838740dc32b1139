#!/usr/bin/env bash
# The clang-tidy checks the repository configures (.clang-tidy), over the C++ files changed since
# the previous commit (committed or not), on all cores: over the whole tree it takes too long on
# this machine for every test run. `scripts/check-tidy.sh --all` checks every file;
# `scripts/check-tidy.sh --since REV` the files changed since REV.
# Needs a build folder with compile_commands.json (BUILD, default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build/release}
[ -f "$build/compile_commands.json" ] || { echo "check-tidy: no $build/compile_commands.json (configure first)" >&2; exit 2; }
since=HEAD~1
case "${1:-}" in
  --all) since="" ;;
  --since) since=$2 ;;
esac
patterns=('src/*.cpp' 'tools/*.cpp' 'app/*.cpp' 'tests/*.cpp' 'bench/*.cpp')
if [ -z "$since" ]; then
  mapfile -t files < <(git ls-files -- "${patterns[@]}")
elif git rev-parse -q --verify "$since^{commit}" >/dev/null; then
  mapfile -t files < <({ git diff --name-only --diff-filter=d "$since" -- "${patterns[@]}"; \
                         git ls-files --others --exclude-standard -- "${patterns[@]}"; } | sort -u)
else
  # A clone with one commit: every file is new.
  mapfile -t files < <(git ls-files -- "${patterns[@]}")
fi
# Only the files the build compiles (a file of a part this build leaves out has no command).
checked=()
for f in "${files[@]}"; do
  grep -qF "\"$PWD/$f\"" "$build/compile_commands.json" && checked+=("$f")
done
echo "check-tidy: ${#checked[@]} file(s)"
[ ${#checked[@]} -eq 0 ] && exit 0
printf '%s\0' "${checked[@]}" |
  xargs -0 -r -n 4 -P "$(nproc)" clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null
