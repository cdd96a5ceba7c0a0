#!/usr/bin/env bash
# The source folders are floors: a folder includes only itself and the
# floors below it. Prints every include that reaches up or sideways.
set -u
root=${1:?usage: floors.sh SOURCE_DIR}
cd "$root" || exit 2
declare -A allowed=(
  [data]="data"
  [paradox]="data paradox"
  [ui]="data ui"
  [collection]="data ui collection"
  [analysis]="data ui collection analysis"
  [search]="data ui collection search"
  [update]="data paradox ui collection update"
  [exchange]="data paradox ui collection exchange"
  [app]="data paradox ui collection analysis search update exchange app"
  [tools]="data paradox ui collection analysis search update exchange app tools"
  [fuzz]="data paradox tools fuzz"
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
# Files handed over by other people come in through one entry point: above
# paradox/, only start-up and the tools reach the reader itself.
while IFS= read -r found; do
  echo "$found: reaches the Paradox reader past its entry point paradox/handed_table.h"; status=1
done < <(grep -rnE '#include "paradox/' update exchange --include='*.h' --include='*.cpp' \
           | grep -v '"paradox/handed_table.h"')
# The computations of a floor build without widgets.
while IFS= read -r file; do
  echo "$file: a computation includes a window header"; status=1
done < <(grep -lE '#include "ui/|#include <Q(Widget|Dialog|MainWindow|MessageBox)' \
           data/*.cpp data/*.h paradox/*.cpp paradox/*.h 2>/dev/null)
exit $status
