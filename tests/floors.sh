#!/usr/bin/env bash
# The source folders are floors: a folder includes only itself and the
# floors below it. Prints every include that reaches up or sideways.
set -u
root=${1:?usage: floors.sh SOURCE_DIR}
cd "$root" || exit 2
declare -A allowed=(
  [data]="data"
  [ui]="data ui"
  [collection]="data ui collection"
  [analysis]="data ui collection analysis"
  [search]="data ui collection search"
  [update]="data ui collection update"
  [exchange]="data ui collection exchange"
  [app]="data ui collection analysis search update exchange app"
  [tools]="data ui collection analysis search update exchange app tools"
  [fuzz]="data tools fuzz"
)
status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line target; do
    reached=${target%%/*}
    case " ${allowed[$folder]} " in
      *" $reached "*) ;;
      *) echo "$file:$line includes $target, above or beside the floor $folder"; status=1 ;;
    esac
  done < <(grep -rnoE '#include "[a-z_]+/[^"]+"' "$folder" --include='*.h' --include='*.cpp' \
             | sed -E 's/#include "([^"]+)"/\1/')
done
# The computations of a floor build without widgets.
while IFS= read -r file; do
  echo "$file: a computation includes a window header"; status=1
done < <(grep -lE '#include "ui/|#include <Q(Widget|Dialog|MainWindow|MessageBox)' \
           data/*.cpp data/*.h 2>/dev/null)
exit $status
