#!/usr/bin/env bash
# Rebuilds the demo chart portfolio demo/charts/solent/ (the Solent and its approaches) from an
# OpenStreetMap-derived coastline: npm package @geo-maps/countries-coastline-1m 0.6.0, data
# (c) OpenStreetMap contributors, ODbL. The package is fetched with npm into a cache folder that
# is not committed (.cache/, or $KV_DEMO_CACHE); the output is the same bytes on every run.
#
#   bash scripts/make-demo-charts.sh            (uses build/release/kvtool, or $KVTOOL)
set -euo pipefail
cd "$(dirname "$0")/.."

KVTOOL=${KVTOOL:-build/release/kvtool}
CACHE=${KV_DEMO_CACHE:-.cache/demo-charts}
PACKAGE=@geo-maps/countries-coastline-1m@0.6.0
TARBALL=geo-maps-countries-coastline-1m-0.6.0.tgz
TARBALL_SHA1=edfcf0820e3a1e5f22475c52cc1f555553053c54
OUT=demo/charts/solent

if [ ! -x "$KVTOOL" ]; then
    echo "make-demo-charts: $KVTOOL not found; build first (see README) or set KVTOOL" >&2
    exit 1
fi
mkdir -p "$CACHE"
if [ ! -f "$CACHE/$TARBALL" ]; then
    (cd "$CACHE" && npm pack --silent "$PACKAGE" >/dev/null)
fi
echo "$TARBALL_SHA1  $CACHE/$TARBALL" | sha1sum --check --quiet
if [ ! -f "$CACHE/package/map.geo.json" ]; then
    tar -xzf "$CACHE/$TARBALL" -C "$CACHE"
fi

# Only this portfolio's files go: tiles of an earlier, finer grid would stay in the chart index.
mkdir -p "$OUT"
rm -f "$OUT"/Solent-*.cht "$OUT"/Solent-*.cfg "$OUT"/SolentPortfolio.cht "$OUT"/SolentPortfolio.cfg
# The source has about one point per kilometre of coast here, so the whole area would fit one
# chart; a small --max-points makes a portfolio of several tiles, which is what the demo shows.
"$KVTOOL" chart-portfolio "$CACHE/package/map.geo.json" "$OUT" \
    --bounds 50.55 -1.95 50.90 -0.95 --name Solent --max-points 250 --tolerance-px 0.5
