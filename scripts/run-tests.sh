#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test of one preset (default: dev).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}
scripts/setup.sh "$preset"
ctest --preset "$preset" -j2
