# Bash completion for vantiro-forecast: its commands, the options each command takes,
# the engine names, the series file's column names after --column and --date-column, and
# file names for the series and after the file options; nothing where a number is expected.
# Uses only bash builtins, so it works with or without the bash-completion package.

# The column names in the header of the series file $1 (none if its first line is numbers).
_vantiro_forecast_columns() {
  local line separator=","
  [ -r "$1" ] && [ -f "$1" ] || return
  IFS= read -r line <"$1" || [ -n "$line" ] || return
  line=${line%$'\r'}
  case "$line" in
    *$'\t'*) separator=$'\t' ;;
    *";"*) [[ "$line" == *","* ]] || separator=";" ;;
  esac
  local field fields=()
  IFS="$separator" read -r -a fields <<<"$line"
  for field in "${fields[@]}"; do
    field=${field#\"}
    field=${field%\"}
    field="${field#"${field%%[![:space:]]*}"}"
    field="${field%"${field##*[![:space:]]}"}"
    # A field that reads as a number is a value: the file has no header.
    [[ "$field" =~ ^[-+]?[0-9.]+([eE][-+]?[0-9]+)?$ ]] && return
    [ -n "$field" ] && printf '%s\n' "$field"
  done
}

_vantiro_forecast() {
  local current="${COMP_WORDS[COMP_CWORD]}"
  local previous=""
  ((COMP_CWORD > 0)) && previous="${COMP_WORDS[COMP_CWORD - 1]}"

  # The command, and the series file: the first word that is not an option or its value.
  local command="" series="" i word
  for ((i = 1; i < COMP_CWORD; i++)); do
    word="${COMP_WORDS[i]}"
    case "$word" in
      --column | --date-column | --holdout | --points | --neurons | --window | --rate | \
        --seconds | --quiet-seconds | --engine | --scale | --svg | -o | --output | \
        --save-state | --state)
        ((i++))
        ;;
      -*) ;;
      *)
        if [ -z "$command" ]; then
          command="$word"
        elif [ -z "$series" ]; then
          series="$word"
        fi
        ;;
    esac
  done

  case "$previous" in
    --svg | -o | --output | --save-state | --state)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$current")
      return
      ;;
    --engine)
      mapfile -t COMPREPLY < <(compgen -W "single double sse nnvec2" -- "$current")
      return
      ;;
    --column | --date-column)
      # A name with spaces is offered whole; the user quotes it as the shell needs.
      local names
      names=$(_vantiro_forecast_columns "${series/#\~/$HOME}")
      local IFS=$'\n'
      mapfile -t COMPREPLY < <(compgen -W "$names" -- "$current")
      return
      ;;
    --holdout | --points | --neurons | --window | --rate | --seconds | --quiet-seconds | --scale)
      COMPREPLY=()
      return
      ;;
  esac

  if [ -z "$command" ]; then
    mapfile -t COMPREPLY < <(compgen -W "check ahead error --help" -- "$current")
    return
  fi
  if [[ "$current" != -* && -z "$series" ]]; then
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
    return
  fi
  local common="--column --neurons --window --rate --seconds --quiet-seconds --engine --scale --help"
  local options
  case "$command" in
    check) options="--holdout --svg $common" ;;
    ahead) options="--points -o --output --date-column --save-state --state --svg $common" ;;
    error) options="--state --column --help" ;;
    *) options="" ;;
  esac
  mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
}

complete -F _vantiro_forecast vantiro-forecast
