#!/usr/bin/env bash
# docs/solent-portfolio.png: the demo Solent portfolio's overview chart with the outlines of its
# tiles, centred on the area (the overview's own configuration centres it south of the area, see
# demo/charts/README.md).
#
#   bash docs/make_portfolio_picture.sh          (uses build/release/kvtool, or $KVTOOL)
set -euo pipefail
cd "$(dirname "$0")/.."
KVTOOL=${KVTOOL:-build/release/kvtool}
"$KVTOOL" render demo docs/solent-portfolio.png --chart solent/SolentPortfolio --centre 50.725 1.45 --zoom 10 --size 1024x768
