#!/usr/bin/env bash
# Configures and builds Tabrix (Release) into build/ at the top of the
# checkout: the program, its tests, the demo tables and the help file.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
ninja -C "$build" -j2
