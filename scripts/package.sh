#!/usr/bin/env bash
# Builds the Debian package tabrix_VERSION_ARCH.deb in build/ (or in the
# build folder given as first argument) and checks it with lintian when it is
# there. dpkg-dev computes the dependencies from the executables.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}

if ! command -v dpkg-shlibdeps >/dev/null 2>&1; then
  echo "dpkg-shlibdeps is missing: apt-get install dpkg-dev" >&2
  exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --target tabrix tabrix-makedb tables installed_tables package_documents
(cd "$build" && cpack -G DEB)

package=$(ls -t "$build"/tabrix_*.deb | head -n 1)
echo "Package: $package"
if command -v lintian >/dev/null 2>&1; then
  lintian "$package" || true
fi
