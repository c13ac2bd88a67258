#!/usr/bin/env bash
# Sets up the machine, builds, starts the local demo server and the client against it.
# The demo server stops when the client ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
port="${OMBRITH_DEMO_PORT:-3102}"
server=""
if [ -x build/ombrith-demo-server ]; then
  build/ombrith-demo-server --port "$port" &
  server=$!
  trap 'kill "$server" 2>/dev/null || true' EXIT
fi
build/ombrith "$@"
