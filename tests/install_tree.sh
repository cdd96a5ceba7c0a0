#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# every file in its place, the desktop entry, icons of the size their folder
# names, and the installed program starting on its own copy of the demo
# tables without touching the shared ones.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/tabrix
bin/tabrix-makedb
share/applications/org.example.tabrix.desktop
share/doc/tabrix/changelog.gz
share/doc/tabrix/copyright
share/icons/hicolor/128x128/apps/tabrix.png
share/icons/hicolor/16x16/apps/tabrix.png
share/icons/hicolor/22x22/apps/tabrix.png
share/icons/hicolor/24x24/apps/tabrix.png
share/icons/hicolor/256x256/apps/tabrix.png
share/icons/hicolor/32x32/apps/tabrix.png
share/icons/hicolor/48x48/apps/tabrix.png
share/icons/hicolor/64x64/apps/tabrix.png
share/icons/hicolor/scalable/apps/tabrix.svg
share/man/man1/tabrix-makedb.1.gz
share/man/man1/tabrix.1.gz
share/metainfo/org.example.tabrix.metainfo.xml
share/tabrix/AIDE.HLP
share/tabrix/CARTES.DB
share/tabrix/ECHANGE.DB
share/tabrix/screenshots/saisie.png"
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual"))"
[ -x "$prefix/bin/tabrix" ] || fail "bin/tabrix is not executable"
# The demo catalogue as tabrix-makedb writes it, not the build tree's
# tables that runs from the build have changed.
fresh="$home/fresh"
"$build/bin/tabrix-makedb" --demo "$(dirname "$0")/../catalogue" "$fresh" >/dev/null
for table in CARTES.DB ECHANGE.DB; do
  cmp -s "$fresh/$table" "$prefix/share/tabrix/$table" || fail "$table is not the fresh demo table"
done
rm -rf "$fresh"

desktop="$prefix/share/applications/org.example.tabrix.desktop"
for line in 'Type=Application' 'Exec=tabrix' 'Icon=tabrix' 'Categories=Office;' \
            'Comment=Gérer sa collection de cartes à jouer et à collectionner' \
            'GenericName=Collection de cartes'; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks: $line"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for png in "$prefix"/share/icons/hicolor/*x*/apps/tabrix.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "${width}x${height}" = "$size" ] || fail "$png is ${width}x${height}"
done

# The installed program, started by a new user with no configuration: it
# copies the demo tables into ~/.local/share/tabrix and keeps running.
shared_before=$(md5sum "$prefix"/share/tabrix/*.DB)
status=0
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" TABRIX_INI="$home/TABRIX.INI" \
  QT_QPA_PLATFORM=offscreen timeout 10 "$prefix/bin/tabrix" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the installed program stopped by itself with status $status"
[ -f "$home/.local/share/tabrix/CARTES.DB" ] || fail "no CARTES.DB copied for the user"
[ -f "$home/.local/share/tabrix/ECHANGE.DB" ] || fail "no ECHANGE.DB copied for the user"
[ "$(md5sum "$prefix"/share/tabrix/*.DB)" = "$shared_before" ] || fail "the shared tables were written"
[ "$(ls "$prefix/share/tabrix")" = "$(printf 'AIDE.HLP\nCARTES.DB\nECHANGE.DB\nscreenshots')" ] ||
  fail "files appeared beside the shared tables"
echo "install tree: 1 passed, 0 failed"
