#!/usr/bin/env bash
# Installs every Debian package the client, its tests and its benchmarks need.
# Installs only what is missing, so it is safe to run any number of times.
set -euo pipefail

packages=(
  g++ clang cmake ninja-build pkg-config
  libwxgtk3.2-dev libssl-dev portaudio19-dev libvorbis-dev libogg-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps xdg-utils libxml2-utils chromium openssl fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
