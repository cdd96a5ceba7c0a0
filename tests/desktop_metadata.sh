#!/usr/bin/env bash
# Checks what software centres and desktop menus read: the AppStream metadata
# and the desktop entry, with the validators Debian's own tools use (skipped,
# status 77, when they are not installed), and that the screenshot shipped
# with the package is the size the metadata gives.
set -euo pipefail
packaging=$(cd "$(dirname "$0")/../packaging" && pwd)
metainfo=$packaging/org.example.tabrix.metainfo.xml
desktop=$packaging/org.example.tabrix.desktop
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v appstreamcli >/dev/null && command -v desktop-file-validate >/dev/null || {
  echo "appstreamcli or desktop-file-validate missing: skipped"; exit 77; }

appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli refuses $metainfo"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate refuses $desktop: $out"
[ -z "$out" ] || fail "desktop-file-validate warns: $out"

# The id names the desktop entry, and the entry names the installed program.
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
[ "$id.desktop" = "$(basename "$desktop")" ] || fail "id $id does not name $(basename "$desktop")"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable is not $id.desktop"

png=$packaging/screenshots/saisie.png
read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
  awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
grep -q "width=\"$width\" height=\"$height\"" "$metainfo" || fail "the screenshot is ${width}x${height}, not the size given"
echo "desktop metadata: 1 passed, 0 failed"
