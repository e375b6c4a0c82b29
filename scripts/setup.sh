#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds one CMake preset. Safe to run again: it does nothing that is already done.
#   scripts/setup.sh [preset [target...]]      (default preset: dev, all targets)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}
shift || true

packages=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-serialport-dev libtelnet-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)
[ "$preset" = fuzz ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
