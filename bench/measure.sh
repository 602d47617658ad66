#!/usr/bin/env bash
# Measures the performance budgets and prints them as a table. Run after
# ./test.sh (it uses the Release build in build/). Takes about four minutes.
#   bench/measure.sh [--no-valgrind]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
cmake --build "$build" -j"$(nproc)" --target sprite_bench game_bench music_levels pace_bench replay_bench munchora \
  munchora-headless > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build"/{Munchora.ini,Data,Levels,Music} "$work"/

# Start-up to the first intro frame, headless, sounds loaded: the median of 11 runs of one frame.
startup=()
for _ in $(seq 11); do
  t0=$(date +%s%N)
  "$build"/munchora-headless --data "$work" --out "$work/out" --frames 1 > /dev/null
  startup+=($(( ($(date +%s%N) - t0) / 1000000 )))
done
startup_ms=$(printf '%s\n' "${startup[@]}" | sort -n | sed -n 6p)

sprite_fps=$("$build"/bench/sprite_bench 5 | sed -n 's/^best: \([0-9]*\).*/\1/p')
game_out=$("$build"/bench/game_bench "$build" 3)
level_ms=$(echo "$game_out" | sed -n 's/^level start: \([0-9.]*\) ms from the menu.*/\1/p')
next_ms=$(echo "$game_out" | sed -n 's/.*, \([0-9.]*\) ms as the next level/\1/p')
draw_fps=$(echo "$game_out" | sed -n 's/^with drawing: \([0-9]*\).*/\1/p')
move_fps=$(echo "$game_out" | sed -n 's/^without drawing: \([0-9]*\).*/\1/p')

gen_start=$(date +%s%N)
"$build"/tools/munchora-assetgen assets "$work/gen" > /dev/null
gen_s=$(awk "BEGIN { printf \"%.1f\", ($(date +%s%N) - $gen_start) / 1e9 }")

# Peak memory of the real game with music: a level played for ten seconds
# in a real window (Xvfb) with the audio synthesised to a dummy device. Once
# as the game chooses its display (the window's own surface without a GPU device, as here),
# once with OpenGL forced, which runs on Mesa's software rasteriser here.
peak_game="n/a (needs xvfb-run and xdotool)"
peak_gl="$peak_game"
peak_of() {  # peak_of OUTPUT [VAR=VALUE ...]
  local output="$1"
  shift
  cat > "$work/peak.sh" <<SCRIPT
#!/bin/bash
SDL_AUDIODRIVER=dummy env $* "$PWD/$build/munchora" > /dev/null 2>&1 &
game=\$!
sleep 3
xdotool search --sync --name Munchora > /dev/null
xdotool key space; sleep 0.5; xdotool key Return; sleep 10
grep VmHWM /proc/\$game/status | awk '{ printf "%.0f", \$2 / 1024 }' > "$output"
kill \$game
SCRIPT
  chmod +x "$work/peak.sh"
  xvfb-run -a "$work/peak.sh" > /dev/null 2>&1 || true
}
if command -v xvfb-run > /dev/null && command -v xdotool > /dev/null; then
  peak_of "$work/peak-game"
  peak_of "$work/peak-gl" SDL_RENDER_DRIVER=opengl
  [ -s "$work/peak-game" ] && peak_game="$(cat "$work/peak-game") MB"
  [ -s "$work/peak-gl" ] && peak_gl="$(cat "$work/peak-gl") MB"
fi

leaks="skipped"
if [ "${1:-}" != "--no-valgrind" ] && command -v valgrind > /dev/null; then
  printf '3 key Space\n6 key Enter\n20 key Right\n200 key Up\n400 key Left\n600 key Down\n' > "$work/leak.txt"
  valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=9 \
    "$build"/munchora-headless --data "$work" --out "$work/out" --script "$work/leak.txt" --frames 5000 \
    -- NoSound Debug > "$work/valgrind.log" 2>&1 && leaks="0 bytes definitely lost" || \
    leaks="$(grep 'definitely lost' "$work/valgrind.log" | sed 's/.*definitely lost: //')"
fi

loudest_tune=$("$build"/bench/music_levels "$build" | sed -n 's/^loudest: //p')

# Recordings: the platform's cost per frame, the size of five minutes of
# play, verifying those five minutes headless (which draws nothing) and
# playing them again with every frame drawn (the median of three each).
replay_out=$("$build"/bench/replay_bench "$work" "$work/five.mnr")
record_ns=$(echo "$replay_out" | sed -n 's/^platform per frame: \([0-9]*\) ns without a recording, \([0-9]*\) ns.*/\1 ns -> \2 ns/p')
replay_kb=$(echo "$replay_out" | sed -n 's/^five minutes of play: .*, \([0-9.]*\) KB a minute/\1 KB/p')
median_of_three_s() {
  local runs=()
  for _ in 1 2 3; do
    t0=$(date +%s%N)
    "$@" > /dev/null
    runs+=($(( ($(date +%s%N) - t0) / 1000000 )))
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p | awk '{ printf "%.2f", $1 / 1000 }'
}
verify_s=$(median_of_three_s "$build"/munchora-headless --data "$work" --out "$work/out" --replay "$work/five.mnr" --verify)
drawn_s=$(median_of_three_s "$build"/munchora-headless --data "$work" --out "$work/out" --replay "$work/five.mnr")
pace="n/a (needs xvfb-run)"
if command -v xvfb-run > /dev/null; then
  pace=$(bench/pace.sh 10 2>/dev/null |
    sed -n 's/^timer \([0-9]*\) ms, \(.*\) presenter: \([0-9.]*\) game.*/\1 ms \2: \3/p' | paste -sd ';' | sed 's/;/; /g')
fi

printf '%-44s %-18s %s\n' "measure" "target" "today"
printf '%-44s %-18s %s\n' "start-up to the first intro frame (headless)" "< 150 ms" "${startup_ms} ms"
printf '%-44s %-18s %s\n' "level start from the menu / next level" "< 20 ms" "${level_ms} ms / ${next_ms} ms"
printf '%-44s %-18s %s\n' "sprite engine, 100 sprites + background" ">= 5000 fps" "${sprite_fps} fps"
printf '%-44s %-18s %s\n' "game screen, busy level, with drawing" ">= 3000 fps" "${draw_fps} fps"
printf '%-44s %-18s %s\n' "game screen, busy level, without drawing" "-" "${move_fps} fps"
printf '%-44s %-18s %s\n' "asset generator" "< 10 s" "${gen_s} s"
printf '%-44s %-18s %s\n' "peak memory of the game with music" "< 120 MB" "${peak_game}"
printf '%-44s %-18s %s\n' "the same with OpenGL forced (llvmpipe here)" "-" "${peak_gl}"
printf '%-44s %-18s %s\n' "valgrind, 5,000 headless frames of a game" "no definite leak" "${leaks}"
printf '%-44s %-18s %s\n' "loudest tune, MidiVolume=0, before limiter" "< -1 dBFS" "${loudest_tune}"
printf '%-44s %-18s %s\n' "game frames/s (Timer, presenter Hz)" "1000/Timer +-1%" "${pace}"
printf '%-44s %-18s %s\n' "recording, platform per frame" "< 1 us more" "${record_ns}"
printf '%-44s %-18s %s\n' "recording, a minute of play" "a few KB" "${replay_kb}"
printf '%-44s %-18s %s\n' "verifying a five-minute game, headless" "< 0.1 s" "${verify_s} s"
printf '%-44s %-18s %s\n' "the same game replayed with drawing" "-" "${drawn_s} s"
