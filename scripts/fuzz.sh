#!/usr/bin/env bash
# Builds the fuzz preset and runs the reply fuzzer for SECONDS (default 60). Fails on any
# crash, hang, sanitizer report or oversized allocation.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
scripts/setup.sh fuzz reply_fuzzer # installs clang and its fuzzer runtime when missing, then builds
corpus="build/fuzz/corpus"
mkdir -p "$corpus"
build/fuzz/fuzz/reply_fuzzer "$corpus" -max_total_time="$seconds" -max_len=8192 \
    -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/
