#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tabrix on the demo catalogue
# installed beside the program (build/bin/CARTES.DB).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-packages.sh"
"$root/scripts/build.sh"

# A configuration of its own, so the demo is used whatever ~/.config holds;
# set TABRIX_INI yourself to start on another table directory.
if [ -z "${TABRIX_INI:-}" ]; then
  export TABRIX_INI="$root/build/demo.ini"
  printf '[CONFIGURATION]\nPATH=%s\n' "$root/build/bin" > "$TABRIX_INI"
fi

exec "$root/build/bin/tabrix"
