#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sources the bash completion and checks what it offers on a real project.
#   bash_completion_test.sh KORVALIN COMPLETION_SCRIPT
set -u
korvalin=$1
# shellcheck source=/dev/null
source "$2"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
mkdir -p disc/data folder
echo a >disc/data/a.bin
echo b >disc/b.txt
touch game.krv.bak notes.txt img.BIN disc.iso listing.txt
"$korvalin" new game.krv >/dev/null && "$korvalin" add game.krv disc/data disc/b.txt || exit 1

failures=0
# expect "OFFERED" WORD...: completing the last word offers OFFERED (sorted).
expect() {
  local wanted=$1 got
  shift
  COMP_WORDS=("$korvalin" "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _korvalin
  got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' ')
  if [ "$got" != "$wanted" ]; then
    echo "korvalin $*<TAB> offered \"$got\", expected \"$wanted\""
    failures=$((failures + 1))
  fi
}

expect "relocate remove-warnings reset-lbas" re
expect "--version" --ver
expect "--json" ls game.krv --j
expect "--unpin" edit game.krv /B.TXT --lba 30 --un
expect "" edit game.krv /B.TXT --lba ""
expect "0 1 2" import listing.txt game.krv --mode ""
expect "disc folder game.krv" ls ""
expect "disc disc.iso folder img.BIN" compile game.krv ""
expect "disc folder listing.txt notes.txt" import ""
expect "/DATA/" edit game.krv /d
expect "/DATA/A.BIN" rm game.krv /B.TXT /data/a
expect "/B.TXT /DATA/" add game.krv --into ""
expect "" label game.krv MYDISC ""
expect "disc folder" dump img.BIN ""
expect "disc disc.iso folder game.krv game.krv.bak img.BIN listing.txt notes.txt" inject disc.iso ""
expect "c-header" listing game.krv --format c
expect "add ls rm set" track ""
expect "game.krv" track ls g
expect "--move-to" track set game.krv 2 --mo

[ "$failures" -eq 0 ] || exit 1
