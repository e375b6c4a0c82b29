#!/usr/bin/env bash
# Starts the console on the built-in demo frame under a virtual X display and saves a
# picture of its main window with the tree expanded (default: docs/tessivar-demo.png).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/tessivar-demo.png}"
mkdir -p "$(dirname "$out")"
if [ ! -x build/dev/src/tessivar ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target tessivar
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/dev/src/tessivar --demo --screenshot "$out"
