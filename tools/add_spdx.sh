#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence identifier on the first line of every source, header,
# CMake and shell file (after a #! or #compdef line), once.
#   tools/add_spdx.sh           add it where it is missing
#   tools/add_spdx.sh --check   list the files that lack it; exit 1 when any
set -euo pipefail
cd "$(dirname "$0")/.."

IDENTIFIER="SPDX-License-Identifier: GPL-3.0-or-later"

# Every file the identifier belongs in; build trees and .git are not ours.
list_files() {
  find . -type d \( -name .git -o -name 'build*' -o -name _deps \) -prune -o -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name 'CMakeLists.txt' \
       -o -name '*.cmake' -o -name '*.sh' -o -name '*.bash' -o -name '*.zsh' \
       -o -path './.ci/*' \) -print | sed 's|^\./||' | LC_ALL=C sort
}

comment_for() {
  case "$1" in
    *.cpp|*.h|*.hpp) echo "// $IDENTIFIER" ;;
    *) echo "# $IDENTIFIER" ;;
  esac
}

# The files whose first two lines lack the identifier, read in one pass
# (an empty file has no line to read and is not listed).
files_without_identifier() {
  list_files | tr '\n' '\0' | xargs -0 -r awk -v id="$IDENTIFIER" '
    FNR == 1 { if (NR > 1 && !found) print name; name = FILENAME; found = 0 }
    FNR <= 2 && index($0, id) { found = 1 }
    FNR == 2 { nextfile }
    END { if (NR > 0 && !found) print name }'
}

add_identifier() {
  local file=$1 line tmp
  line=$(comment_for "$file")
  tmp=$(mktemp "$file.XXXXXX")
  if head -n 1 "$file" | grep -q '^#!\|^#compdef'; then
    { head -n 1 "$file"; echo "$line"; tail -n +2 "$file"; } >"$tmp"
  else
    { echo "$line"; cat "$file"; } >"$tmp"
  fi
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
}

missing=0
while IFS= read -r file; do
  if [ "${1:-}" = "--check" ]; then
    echo "no \"$IDENTIFIER\" line at the top of $file (tools/add_spdx.sh adds it)"
    missing=$((missing + 1))
  else
    add_identifier "$file"
  fi
done < <(files_without_identifier)

if [ "$missing" -gt 0 ]; then
  echo "$missing files lack the licence identifier" >&2
  exit 1
fi
