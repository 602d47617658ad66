#!/usr/bin/env bash
# Processor time of the real game playing level 1 with sounds and music for
# SECONDS in a real window under Xvfb (audio to SDL's dummy device, which
# still runs the synthesizer and the mix), with presents and game frames per
# second; ROUNDS rounds. With --against REV the same program is built from
# REV beside this tree (in build/loop-against, a few minutes the first time)
# and the two run in turns, so a busy machine weighs on both alike.
#   bench/loop_cpu.sh [--against REV] [SECONDS] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
against=""
if [ "${1:-}" = "--against" ]; then
  against="$2"
  shift 2
fi
seconds="${1:-30}"
rounds="${2:-3}"
command -v xvfb-run > /dev/null || { echo "loop_cpu.sh needs xvfb-run (Debian's xvfb)" >&2; exit 1; }
cmake --build "$build" -j"$(nproc)" --target loop_cpu munchora_assets > /dev/null
builds=("$PWD/$build")
names=("this tree")
if [ -n "$against" ]; then
  tree="$PWD/$build/loop-against"
  rm -rf "$tree/src"
  mkdir -p "$tree/src"
  git archive "$against" | tar -x -C "$tree/src"
  if ! grep -q loop_cpu "$tree/src/bench/CMakeLists.txt"; then
    cp bench/loop_cpu.cpp "$tree/src/bench/"
    sed -i 's/^foreach(bench /foreach(bench loop_cpu /' "$tree/src/bench/CMakeLists.txt"
  fi
  cmake -S "$tree/src" -B "$tree/build" -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$tree/build" -j"$(nproc)" --target loop_cpu munchora_assets > /dev/null
  builds+=("$tree/build")
  names+=("$against")
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in "${!builds[@]}"; do
  mkdir -p "$work/$i"
  cp -r "${builds[$i]}"/{Munchora.ini,munchora.png,Data,Levels,Music} "$work/$i"/
done
{
  echo '#!/bin/bash'
  echo "for round in \$(seq $rounds); do"
  for i in "${!builds[@]}"; do
    echo "  echo -n '$i '; SDL_AUDIODRIVER=dummy '${builds[$i]}/bench/loop_cpu' '$work/$i' $seconds"
  done
  echo done
} > "$work/rounds.sh"
chmod +x "$work/rounds.sh"
xvfb-run -a "$work/rounds.sh" | while read -r i line; do echo "${names[$i]}: $line"; done
