#!/usr/bin/env zsh
# SPDX-License-Identifier: GPL-3.0-or-later
# Loads the zsh completion's functions with zsh's completion builtins
# replaced by stubs that print what they were given, and checks that.
#   zsh_completion_test.zsh KORVALIN COMPLETION_SCRIPT
korvalin=$1
source <(sed '$d' $2)  # all but the line that runs the completion

dir=$(mktemp -d)
trap 'rm -rf $dir' EXIT
cd $dir || exit 1
mkdir -p disc/data && print a >disc/data/a.bin
$korvalin new game.krv && $korvalin add game.krv disc/data >/dev/null || exit 1

compadd() { print -r -- "compadd $*" }
_files() { print -r -- "_files $*" }
_describe() { print -r -- "_describe ${${(P)4}[1]}" }

integer failures=0
# expect "OFFERED" WORD...: completing the last word calls what OFFERED says.
expect() {
  local wanted=$1 got
  shift
  words=($korvalin "$@") CURRENT=$(($# + 1)) PREFIX=${@[-1]}
  got=$(_korvalin)
  if [[ $got != $wanted ]]; then
    print -r -- "korvalin $*<TAB> called \"$got\", expected \"$wanted\""
    (( failures++ ))
  fi
}

expect $'_describe new:Save a new, empty project (the root directory only).\ncompadd -- --help --version' n
expect "compadd -U -S  -- /DATA/" edit game.krv /d
expect "_files -g *.(#i)(bin|cue|iso|iml|ims|img)" compile game.krv ""
expect "compadd 0 1 2" import l.txt game.krv --mode ""
expect "_files -/" relocate game.krv ""
(( failures == 0 ))
