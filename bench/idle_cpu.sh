#!/usr/bin/env bash
# Idle CPU use of the running client: starts it under a virtual X display
# with an empty home, lets it settle, then reads its CPU time over a window.
# Usage: bench/idle_cpu.sh [seconds]   (default 30; expects build/ombrith)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cat > "$home/measure.sh" <<INNER
#!/usr/bin/env bash
HOME="$home" build/ombrith &
pid=\$!
sleep 3
ticks() { awk '{print \$14 + \$15}' /proc/\$pid/stat; }
t0=\$(ticks); s0=\$(date +%s.%N)
sleep "$seconds"
t1=\$(ticks); s1=\$(date +%s.%N)
hz=\$(getconf CLK_TCK)
awk -v a="\$t0" -v b="\$t1" -v s="\$s0" -v e="\$s1" -v hz="\$hz" \
  'BEGIN { printf "idle CPU: %.2f %% of one core over %.1f s\n", 100 * (b - a) / hz / (e - s), e - s }'
kill -TERM \$pid
wait \$pid
INNER
chmod +x "$home/measure.sh"
xvfb-run -a "$home/measure.sh"
