#!/usr/bin/env bash
# Installs the Debian 12 packages Tabrix needs to build and test, only when
# some are missing. Works as root, or through sudo for another user.
set -euo pipefail

packages=(
  g++ cmake ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  qt6-charts-dev libqt6opengl6-dev
  libsqlite3-dev libjpeg62-turbo-dev pxlib-dev
  googletest libgtest-dev poppler-utils
  clang libclang-rt-14-dev
  appstream desktop-file-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg -s "$package" >/dev/null 2>&1; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Missing packages: ${missing[*]}; run this script as root or install sudo." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
