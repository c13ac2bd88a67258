#!/usr/bin/env bash
# Sets up the machine, builds everything and runs all tests under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
xvfb-run -a -s "-screen 0 1920x1200x24" ctest --output-on-failure -j2 "$@"
