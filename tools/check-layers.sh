#!/usr/bin/env bash
# Checks that every #include "..." in the tree points down the layers or stays
# in its own folder, and prints each one that points up or sideways:
#   runtime <- host <- graphics, audio <- framework <- game <- testing
#   <- tools (with assets) <- tests, bench, fuzz
# graphics and audio sit side by side and include nothing of each other; the
# folders of the top row include nothing of each other either. An include
# is looked for beside the file first, then (for tests) under tests/, then at
# the top of the tree, as the compiler finds it; one found nowhere is a
# system header. An include outside tests/ that only tests/ holds (reached
# through an include path) counts as pointing into tests/.
# Usage: check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The layer of a top-level folder and the group of folders it shares, or
# nothing for a folder outside the layers.
layer() {
  case $1 in
    runtime) echo "0 runtime" ;;
    host) echo "1 host" ;;
    graphics) echo "2 graphics" ;;
    audio) echo "2 audio" ;;
    framework) echo "3 framework" ;;
    game) echo "4 game" ;;
    testing) echo "5 testing" ;;
    tools | assets) echo "6 tools" ;;
    tests) echo "7 tests" ;;
    bench) echo "7 bench" ;;
    fuzz) echo "7 fuzz" ;;
  esac
}

folders=(runtime host graphics audio framework game testing tools assets tests bench fuzz)
existing=()
for d in "${folders[@]}"; do [ -d "$d" ] && existing+=("$d"); done

bad=0
while IFS= read -r file; do
  read -r from_rank from_group <<< "$(layer "${file%%/*}")"
  dir=${file%/*}
  while IFS= read -r inc; do
    if [ -f "$dir/$inc" ]; then
      target=$(realpath -m --relative-to=. "$dir/$inc")
    elif [[ $file == tests/* && -f tests/$inc ]]; then
      target=tests/$inc
    elif [ -f "$inc" ]; then
      target=$inc
    elif [ -f "tests/$inc" ]; then
      target=tests/$inc
    else
      continue
    fi
    to=$(layer "${target%%/*}")
    [ -n "$to" ] || continue
    read -r to_rank to_group <<< "$to"
    if [ "$to_group" != "$from_group" ] && [ "$to_rank" -ge "$from_rank" ]; then
      echo "$file includes $target: $from_group may include only layers below it" >&2
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "${existing[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' \) | sort)

if [ $bad -ne 0 ]; then
  echo "check-layers: includes point up a layer (see above)" >&2
  exit 1
fi
echo "check-layers: every include points down a layer or stays in its folder"
