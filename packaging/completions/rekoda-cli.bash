# bash completion for rekoda-cli                            -*- shell-script -*-

_rekoda_cli() {
  local cur prev words cword split
  _init_completion -s || return

  case $prev in
    --family)
      COMPREPLY=($(compgen -W 'df ma' -- "${cur,,}"))
      return ;;
    --from | --to)
      _filedir -d
      return ;;
    --files-from | --locations)
      _filedir
      return ;;
    --code | --only-code)
      return ;;
    --undo)
      # --undo=ID: the runs that can be undone
      if [[ $split ]]; then
        COMPREPLY=($(compgen -W "$("$1" --list-runs 2>/dev/null | cut -f1)" -- "$cur"))
      fi
      return ;;
  esac
  $split && return

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '--family= --code= --from= --to= --files-from= --null --mkdir
      --no-clobber --trash --undo --undo= --list-runs --list --only-code= --locations= --dry-run --json --quiet --help --version
      -n -q -h -V' -- "$cur"))
    [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    return
  fi

  # A NAME is a file of the source folder.
  local i source= ended=
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      --from) source=${words[i + 1]} ;;
      --from=*) source=${words[i]#--from=} ;;
      --) ended=1 ;;
    esac
  done
  if [[ $source && -d ${source/#\~/$HOME} ]]; then
    local IFS=$'\n'
    COMPREPLY=($(cd -- "${source/#\~/$HOME}" && compgen -f -- "$cur"))
  else
    _filedir
  fi
  # Before --, a name that begins with '-' would be taken for an option.
  [[ $ended ]] || COMPREPLY=("${COMPREPLY[@]/#-/./-}")
} &&
  complete -F _rekoda_cli rekoda-cli

# ex: filetype=sh
