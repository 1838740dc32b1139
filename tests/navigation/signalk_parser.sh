#!/usr/bin/env bash
# Makes sure the Signal K project's NMEA 0183 parser, at the version the checks were written
# against, is in the npm cache folder, and prints the folder that holds its node_modules.
# The folder is $KV_NPM_CACHE, else $HOME/.cache/kvfree-npm. It installs from the npm registry
# when the package is missing; when it cannot (no node, no npm, no registry) it says why and
# exits non-zero, so that the check fails rather than passing without having run.
set -euo pipefail
version=3.20.1
dir=${KV_NPM_CACHE:-${HOME:-/tmp}/.cache/kvfree-npm}
package="$dir/node_modules/@signalk/nmea0183-signalk/package.json"
for tool in node npm; do
  command -v "$tool" >/dev/null || { echo "signalk_parser: $tool is not installed (bash scripts/deps.sh installs it)" >&2; exit 3; }
done
installed() { [ -f "$package" ] && grep -q "\"version\": \"$version\"" "$package"; }
if ! installed; then
  mkdir -p "$dir"
  # One install at a time: test programs may run side by side.
  exec 9>"$dir/.install.lock"
  flock 9
  if ! installed; then
    if ! npm install --prefix "$dir" --no-audit --no-fund --no-save --loglevel=error \
        "@signalk/nmea0183-signalk@$version" >&2; then
      echo "signalk_parser: npm could not install @signalk/nmea0183-signalk@$version into $dir" >&2
      exit 4
    fi
  fi
  installed || { echo "signalk_parser: $package is not version $version after installing" >&2; exit 5; }
fi
echo "$dir"
