#!/usr/bin/env bash
# Installs what is missing, builds, and opens the console on the simulated demo frame.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh dev
if [ -x build/dev/src/tessivar ]; then
  exec build/dev/src/tessivar --demo "$@"
fi
# Before the console exists: the simulated frame alone, to talk to with telnet.
exec build/dev/sim/tessivar-framesim --frame sim/frames/demo.json --telnet-port 0 "$@"
