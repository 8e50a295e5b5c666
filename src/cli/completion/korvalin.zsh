#compdef korvalin
# SPDX-License-Identifier: GPL-3.0-or-later
# zsh completion for korvalin: subcommands and options (read from the
# program's own --help, so they follow it), project, image and listing file
# names by what the program says each operand is, and the disc paths of the
# project being edited.

# What operand $3 (from 0) of subcommand $2 names, as the program says: krv
# a project file, img an image, lst a listing, disc a disc path of the
# project, file any file or folder, dir a folder, none nothing to offer.
_korvalin_operand_kind() {
  $1 complete-operand $2 $3 2>/dev/null || print file
}

_korvalin_disc_paths() {  # PROGRAM PROJECT
  [[ -n $2 ]] || return 1
  local -a paths
  paths=(${(f)"$($1 complete-paths ${~2} $PREFIX 2>/dev/null)"})
  # The program matches the typed prefix in any case; -U keeps its answer.
  compadd -U -S '' -- $paths
}

_korvalin() {
  local prog=${words[1]}
  if (( CURRENT == 2 )); then
    local -a subs
    subs=(${(f)"$($prog --help 2>/dev/null |
      sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\)  *\(.*\)/\1:\2/p')"})
    _describe -t commands 'korvalin subcommand' subs
    compadd -- --help --version
    return
  fi
  local sub=${words[2]} line word project= kind
  local -a names valued
  for line in ${(f)"$($prog $sub --help 2>/dev/null |
      sed -n 's/^ *\(-[a-zA-Z],\)\{0,1\}\(--[a-z][a-z-]*\)\( [A-Z]\{2,\}\)\{0,1\}\([ :].*\)\{0,1\}$/\2\3/p')"}; do
    names+=(${line%% *})
    [[ $line == *' '* ]] && valued+=(${line%% *})
  done

  local -i i n=0
  for (( i = 3; i < CURRENT; i++ )); do
    word=${words[i]}
    if (( ${valued[(Ie)$word]} )); then
      if (( i + 1 == CURRENT )); then
        case $word in
          --into) _korvalin_disc_paths $prog $project ;;
          --mode) compadd 0 1 2 ;;
          --format) compadd isobuster lba c-header ;;
          --keep|--stamp) compadd on off ;;
          --text) compadd -S '' system= volumeSet= publisher= dataPreparer= application= copyrightFile= abstractFile= bibliographicFile= ;;
          --project) _files -g '*.(#i)krv' ;;
          --all-from) _files -/ ;;
          --from|--source|-o|--output) _files ;;
        esac
        return
      fi
      (( i++ ))
    elif [[ $word != -* ]]; then
      [[ -z $project && $(_korvalin_operand_kind $prog $sub $n) == krv ]] && project=$word
      (( n++ ))
    fi
  done

  if [[ $PREFIX == -* ]]; then
    compadd -- $names
    return
  fi
  kind=$(_korvalin_operand_kind $prog $sub $n)
  case $kind in
    krv) _files -g '*.(#i)krv' ;;
    img) _files -g '*.(#i)(bin|cue|iso|iml|ims|img)' ;;
    lst) _files -g '*.(#i)txt' ;;
    disc) _korvalin_disc_paths $prog $project ;;
    dir) _files -/ ;;
    file) _files ;;
    action) compadd add ls rm set ;;
  esac
}

_korvalin "$@"
