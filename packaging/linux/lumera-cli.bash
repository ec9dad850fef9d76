# bash completion for lumera-cli

# lumera-cli site FILE COMMAND [DIR] [options]
_lumera_cli_site() {
  case $prev in
    --report) _filedir '@(json|csv)'; return ;;
    --timeout-ms) return ;;
    backup) _filedir -d; return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "--yes --resume --report --stop-at-first
      --timeout-ms --any-size --help" -- "$cur"))
  elif ((cword == 2)); then
    _filedir
  elif ((cword == 3)); then
    COMPREPLY=($(compgen -W "status upload verify backup clock-set" -- "$cur"))
  fi
}

_lumera_cli() {
  local cur prev words cword
  _init_completion || return

  case $prev in
    --port)
      local ports
      ports=$(lumera-cli ports 2>/dev/null | sed -n 's/^COM\([0-9]*\) .*/\1/p')
      COMPREPLY=($(compgen -W "$ports" -- "$cur"))
      [[ $cur == /* ]] && _filedir
      return ;;
    --pdf)
      _filedir pdf
      return ;;
    --device | --target | --time | --timeout-ms | --segment | --from | --to | --count)
      return ;;
  esac

  local options="--port --device --radio --target --all --time --timeout-ms
    --segment --entries-only --pdf --yes --trace --program --index --from
    --to --count --any-size --help --version"
  local commands="ports upload download verify config defaults version
    hwinfo errors registers position number clock restart stop resume step
    run stop-at tempo start radio-reset scan line-check list print check site
    help"

  if [[ ${words[1]} == site ]]; then
    _lumera_cli_site
    return
  fi

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi

  # The command word, if one is given already.
  local i command=
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      --port | --device | --target | --time | --timeout-ms | --segment | \
        --from | --to | --count | --pdf) ((i++)) ;;
      -*) ;;
      *) command=${words[i]}; break ;;
    esac
  done

  case $command in
    "") COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
    config) [[ $prev == config ]] && COMPREPLY=($(compgen -W "read write" -- "$cur")) || _filedir ;;
    number) [[ $prev == number ]] && COMPREPLY=($(compgen -W "read write" -- "$cur")) ;;
    clock) [[ $prev == clock ]] && COMPREPLY=($(compgen -W "read set" -- "$cur")) ;;
    upload | download | verify | list | print | check) _filedir '@(prg|PRG)' ;;
  esac
} && complete -F _lumera_cli lumera-cli
