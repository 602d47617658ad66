#!/usr/bin/env bash
# Game frames and presents per second of the real game's loop in a real
# window under Xvfb, at Timer 10 and 20 with presenters that wait like a
# 60 Hz or 144 Hz display and one that does not wait (about a minute).
#   bench/pace.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
seconds="${1:-10}"
cmake --build "$build" -j"$(nproc)" --target pace_bench > /dev/null
command -v xvfb-run > /dev/null || { echo "pace.sh needs xvfb-run (Debian's xvfb)" >&2; exit 1; }
cat > "$build/bench/pace-cases.sh" <<SCRIPT
#!/bin/bash
for timer in 10 20; do
  for hz in 60 144 0; do
    SDL_AUDIODRIVER=dummy "$PWD/$build/bench/pace_bench" "$PWD/$build" \$timer \$hz $seconds
  done
done
SCRIPT
chmod +x "$build/bench/pace-cases.sh"
xvfb-run -a "$build/bench/pace-cases.sh"
