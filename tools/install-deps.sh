#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test, when
# any of them is missing. Used by play.sh; with the word "web" by web.sh,
# which also needs emscripten and the npm packages of package-lock.json; with
# the word "test" by test.sh, which needs all that, the tools that only the
# tests use and a browser to test the web version in.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev libpng-dev libstb-dev
  libsdl2-ttf-dev
  libcpp-httplib-dev libcurl4-openssl-dev nlohmann-json3-dev libsqlite3-dev libssl-dev libpq-dev
  timgm6mb-soundfont fonts-dejavu-core
)
mode="${1:-}"
if [ "$mode" = "web" ] || [ "$mode" = "test" ]; then
  packages+=(emscripten nodejs)
  # npm comes with some builds of node; Debian's own node needs its package.
  command -v npm > /dev/null || packages+=(npm)
fi
if [ "$mode" = "test" ]; then
  packages+=(googletest libgtest-dev libgmock-dev libbenchmark-dev python3
             clang-format desktop-file-utils appstream man-db chromium xvfb xauth x11-utils
             postgresql)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The npm packages exactly as the lock file pins them, when they changed.
if [ "$mode" = "web" ] || [ "$mode" = "test" ]; then
  cd "$(dirname "$0")/.."
  if ! cmp -s package-lock.json node_modules/.munchora-lock.json 2> /dev/null; then
    npm ci --no-audit --no-fund --loglevel=error
    cp package-lock.json node_modules/.munchora-lock.json
  fi
fi
