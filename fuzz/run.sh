#!/usr/bin/env bash
# Runs the Paradox reader's fuzzer: fuzz/run.sh FUZZ_BIN_DIR SECONDS [CORPUS]
# The corpus (default: a fresh folder) is seeded by paradox_fuzz_seeds when
# empty; fuzz/regressions holds inputs that once crashed or hung the reader
# and is read as a second corpus. Findings land in the corpus folder's parent
# as crash-*, timeout-*, leak-*.
set -euo pipefail
bin=${1:?usage: run.sh FUZZ_BIN_DIR SECONDS [CORPUS]}
seconds=${2:?usage: run.sh FUZZ_BIN_DIR SECONDS [CORPUS]}
corpus=${3:-$(mktemp -d)/corpus}
regressions="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/regressions"
mkdir -p "$corpus"
[ -n "$(ls -A "$corpus")" ] || "$bin/paradox_fuzz_seeds" "$corpus"
cd "$(dirname "$corpus")"
# Each input is written to files and read; a read that takes seconds is a hang.
exec "$bin/paradox_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 "$corpus" "$regressions"
