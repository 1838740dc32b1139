#!/usr/bin/env bash
# Makes sure the Signal K server, at the version the end-to-end check was written against, is in
# the npm cache folder ($KV_NPM_CACHE, else $HOME/.cache/kvfree-npm, in its own subfolder) and
# prints the folder of its package. Exit 3: node or npm missing; 4: npm could not install it and
# the registry is reachable (a real failure); 5: npm could not install it because the registry
# cannot be reached (no network: the check is skipped, saying so).
set -euo pipefail
version=2.23.0
dir=${KV_NPM_CACHE:-${HOME:-/tmp}/.cache/kvfree-npm}/signalk-server-$version
package="$dir/node_modules/signalk-server/package.json"
for tool in node npm; do
  command -v "$tool" >/dev/null || { echo "signalk_server: $tool is not installed (bash scripts/deps.sh installs it)" >&2; exit 3; }
done
installed() { [ -f "$package" ] && grep -q "\"version\": \"$version\"" "$package"; }
if ! installed; then
  mkdir -p "$dir"
  # One install at a time: test programs may run side by side.
  exec 9>"$dir/.install.lock"
  flock 9
  if ! installed; then
    if ! npm install --prefix "$dir" --no-audit --no-fund --no-save --loglevel=error "signalk-server@$version" >&2; then
      if ! npm ping >/dev/null 2>&1; then
        echo "signalk_server: the npm registry cannot be reached (no network): signalk-server@$version not installed" >&2
        exit 5
      fi
      echo "signalk_server: npm could not install signalk-server@$version into $dir" >&2
      exit 4
    fi
  fi
  installed || { echo "signalk_server: $package is not version $version after installing" >&2; exit 4; }
fi
echo "$dir/node_modules/signalk-server"
