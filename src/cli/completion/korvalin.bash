# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for korvalin: subcommands and options (read from the
# program's own --help, so they follow it), project, image and listing file
# names by what the program says each operand is, and the disc paths of the
# project being edited.

# What operand $3 (from 0) of subcommand $2 names, as the program says: krv
# a project file, img an image, lst a listing, disc a disc path of the
# project, action a word of track, file any file or folder, dir a folder, none nothing to offer.
_korvalin_operand_kind() {
  "$1" complete-operand "$2" "$3" 2>/dev/null || echo file
}

# The options a subcommand's --help lists, one a line, followed by the
# name of their value when they take one ("--lba INT").
_korvalin_options() {
  "$1" "$2" --help 2>/dev/null |
    sed -n 's/^ *\(-[a-zA-Z],\)\{0,1\}\(--[a-z][a-z-]*\)\( [A-Z]\{2,\}\)\{0,1\}\([ :].*\)\{0,1\}$/\2\3/p'
}

_korvalin_subcommands() {
  "$1" --help 2>/dev/null | sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\) .*/\1/p'
}

# Folders, and files whose extension (any case) is one of $2...
_korvalin_files() {
  local cur=$1 f e ext IFS=$'\n'
  shift
  compopt -o filenames 2>/dev/null
  for f in $(compgen -f -- "$cur"); do
    if [ -d "$f" ]; then COMPREPLY+=("$f"); continue; fi
    ext=${f##*.}
    for e in "$@"; do [ "${ext,,}" = "$e" ] && COMPREPLY+=("$f"); done
  done
}

_korvalin_disc_paths() {  # PROGRAM PROJECT CUR
  local IFS=$'\n'
  [ -n "$2" ] || return
  COMPREPLY=($("$1" complete-paths "${2/#\~/$HOME}" "$3" 2>/dev/null))
  [ ${#COMPREPLY[@]} -eq 1 ] && [[ ${COMPREPLY[0]} == */ ]] && compopt -o nospace 2>/dev/null
}

_korvalin() {
  local prog=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if [ "$COMP_CWORD" -eq 1 ]; then
    COMPREPLY=($(compgen -W "$(_korvalin_subcommands "$prog") --help --version" -- "$cur"))
    return
  fi
  local sub=${COMP_WORDS[1]} names="" valued=" " line word i n=0 project="" kind
  while read -r line; do
    [ -n "$line" ] || continue
    names+=" ${line%% *}"
    [[ $line == *" "* ]] && valued+="${line%% *} "
  done <<<"$(_korvalin_options "$prog" "$sub")"

  for ((i = 2; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $valued == *" $word "* ]]; then
      if [ $((i + 1)) -eq "$COMP_CWORD" ]; then
        case $word in
          --into) _korvalin_disc_paths "$prog" "$project" "$cur" ;;
          --mode) COMPREPLY=($(compgen -W "0 1 2" -- "$cur")) ;;
          --format) COMPREPLY=($(compgen -W "isobuster lba c-header" -- "$cur")) ;;
          --keep | --stamp) COMPREPLY=($(compgen -W "on off" -- "$cur")) ;;
          --text)
            compopt -o nospace 2>/dev/null
            COMPREPLY=($(compgen -W "system= volumeSet= publisher= dataPreparer= application= copyrightFile= abstractFile= bibliographicFile=" -- "$cur")) ;;
          --project) _korvalin_files "$cur" krv ;;
          --all-from) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
          --from | --source | -o | --output) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
        esac
        return
      fi
      ((i++))
    elif [[ $word != -* ]]; then
      [ -z "$project" ] && [ "$(_korvalin_operand_kind "$prog" "$sub" "$n")" = krv ] && project=$word
      ((n++))
    fi
  done

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$names" -- "$cur"))
    return
  fi
  kind=$(_korvalin_operand_kind "$prog" "$sub" "$n")
  case $kind in
    krv) _korvalin_files "$cur" krv ;;
    img) _korvalin_files "$cur" bin cue iso iml ims img ;;
    lst) _korvalin_files "$cur" txt ;;
    disc) _korvalin_disc_paths "$prog" "$project" "$cur" ;;
    dir) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
    file) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
    action) COMPREPLY=($(compgen -W "add ls rm set" -- "$cur")) ;;
  esac
}

complete -F _korvalin korvalin
