#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Window tests run on
# Qt's offscreen platform, so no display is needed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-packages.sh"
"$root/scripts/build.sh"

export QT_QPA_PLATFORM=offscreen
cd "$root/build"
ctest --output-on-failure -j2
