# Bash completion for VantiroCmdLine: its modes and options, file names after
# the file options, nothing offered where a number is expected.
# Uses only bash builtins, so it works with or without the bash-completion package.

_VantiroCmdLine() {
  local current="${COMP_WORDS[COMP_CWORD]}"
  local previous=""
  if ((COMP_CWORD > 0)); then
    previous="${COMP_WORDS[COMP_CWORD - 1]}"
  fi

  case "$previous" in
    -inputFile | -outputFile | -loadStateFile | -saveStateFile)
      compopt -o filenames 2>/dev/null
      # One name per line keeps names with spaces whole.
      mapfile -t COMPREPLY < <(compgen -f -- "$current")
      return
      ;;
    -numberOfNeurons | -inputWindowSize | -learningRate | -toleranceUnit | \
      -trainToTolerance | -pointsToGenerate | -benchmarkingIterations | \
      -benchmarkingDataPoints)
      COMPREPLY=()
      return
      ;;
  esac

  # A second mode would be refused, so modes are offered only until one is given.
  local modes="-train -generate -benchmark"
  local word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case "$word" in
      -train | -generate | -benchmark) modes="" ;;
    esac
  done
  local options="-numberOfNeurons -inputWindowSize -learningRate -toleranceUnit
    -trainToTolerance -pointsToGenerate -benchmarkingIterations -benchmarkingDataPoints
    -inputFile -outputFile -loadStateFile -saveStateFile -loadConversionState
    -saveConversionState -doublePrecision -SSE -nnvec2"
  mapfile -t COMPREPLY < <(compgen -W "$modes $options" -- "$current")
}

complete -F _VantiroCmdLine VantiroCmdLine
