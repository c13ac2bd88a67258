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
  ready="$(mktemp)"
  build/ombrith-demo-server --port "$port" >"$ready" &
  server=$!
  trap 'kill "$server" 2>/dev/null || true; rm -f "$ready"' EXIT
  # The client connects on its first tick: wait until the server listens
  # (it makes its certificate first), at most 10 seconds.
  for _ in $(seq 100); do
    if grep -q '^listening' "$ready" || ! kill -0 "$server" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  if ! grep -q '^listening' "$ready"; then
    echo "run: the demo server did not start on port $port; the client connects anyway" >&2
  fi
  if [ "$port" != 3102 ]; then
    echo "run: the client connects to the port in its configuration (3102 unless changed);" \
      "type 'connect $port' in it to reach this demo server" >&2
  fi
fi
build/ombrith "$@"
