#!/bin/sh
# Run under xvfb-run: starts the game, waits for its window, prints the
# window's class and icon size as xprop reports them, and closes the game
# as a desktop would (SIGTERM).
SDL_AUDIODRIVER=dummy "$@" &
game=$!
window=""
for _ in $(seq 1 150); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Munchora"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] && xprop -id "$window" WM_CLASS && xprop -id "$window" 32c _NET_WM_ICON | cut -d, -f1-2
kill "$game"
wait "$game"
echo "exit $?"
