#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test, when
# any of them is missing. Used by play.sh and, with the word "test", by
# test.sh, which also needs the tools that only the tests use.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libfluidsynth-dev libpng-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  timgm6mb-soundfont fonts-dejavu-core
  python3
)
if [ "${1:-}" = "test" ]; then
  packages+=(clang-format)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
