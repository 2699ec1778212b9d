#!/usr/bin/env bash
# The Windows console program against the Linux one, on the same inputs: for
# every engine build and both kernel sets, a Train from a loaded state (saved in
# binary and in text form) and a Generate from its result must give the same
# files, byte for byte, the same messages and the same exit codes. Prints one
# table row per case; exits 1 if any case differs.
#   scripts/check-cross-platform.sh LINUX_BIN_DIR WINDOWS_BIN_DIR
set -uo pipefail

linux_bin=$(cd "$1" && pwd)
windows_bin=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
for program in "$linux_bin/VantiroCmdLine" "$windows_bin/VantiroCmdLine.exe"; do
  [ -x "$program" ] || { echo "missing: $program" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2

# A series with a slow wave in it, and a starting state in text form, which
# every build reads (made once, by the Linux reference build). A Train of one
# pass over the 3000 values (the target 1e30 is met at once) makes some
# 17000 weight updates, every one of which must round the same way.
awk 'BEGIN { for (i = 0; i < 3000; i++) printf "%.6f\n", 2 + sin(i * 0.3) + 0.1 * ((i * 7) % 5) }' > series.txt
sizes=(-numberOfNeurons 3 -inputWindowSize 19)
"$linux_bin/VantiroCmdLine" -train "${sizes[@]}" -learningRate 0.01 -toleranceUnit 0.001 \
  -trainToTolerance 1e30 -inputFile series.txt -saveStateFile start.txt -saveConversionState >/dev/null ||
  { echo "could not make the starting state" >&2; exit 2; }

# Runs one platform's program in directory $1 (inputs copied in): the three
# runs, each one's messages and exit code kept in a file of its own. Timing
# figures are the only text allowed to differ; Windows ends console lines with
# CR LF, which is taken off.
run_side() {
  local dir=$1 build=$2; shift 2
  local program=("$@")
  mkdir -p "$dir" && cp series.txt start.txt "$dir/"
  (
    cd "$dir" || exit 2
    train=(-train "${sizes[@]}" -learningRate 0.02 -toleranceUnit 0.01 -trainToTolerance 1e30
           -inputFile series.txt -loadStateFile start.txt -loadConversionState)
    "${program[@]}" "${train[@]}" $build -saveStateFile trained.bin > train-binary.out 2>&1
    echo "exit $?" >> train-binary.out
    "${program[@]}" "${train[@]}" $build -saveStateFile trained.txt -saveConversionState > train-text.out 2>&1
    echo "exit $?" >> train-text.out
    "${program[@]}" -generate "${sizes[@]}" $build -pointsToGenerate 40 -inputFile series.txt \
      -loadStateFile trained.bin -outputFile generated.txt > generate.out 2>&1
    echo "exit $?" >> generate.out
    for f in *.out; do
      tr -d '\r' < "$f" | sed -E 's/[0-9]+\.[0-9]+ seconds/T seconds/; s/[0-9.]+ million operations/N million operations/' > "$f.masked"
    done
  )
}

same() { cmp -s "$1" "$2" && echo same || echo DIFFERENT; }

failed=0
printf '%-16s %-6s %-12s %-12s %-12s %-9s\n' build kernels state-binary state-text generated messages
for build in "" -doublePrecision -SSE -nnvec2; do
  for isa in best sse2; do
    case_dir="case${build:--single}-$isa"
    if [ "$isa" = sse2 ]; then export VANTIRO_ISA=sse2; else unset VANTIRO_ISA; fi
    run_side "$case_dir/linux" "$build" "$linux_bin/VantiroCmdLine"
    run_side "$case_dir/windows" "$build" "$here/wine-run.sh" "$windows_bin/VantiroCmdLine.exe"
    l=$case_dir/linux w=$case_dir/windows
    messages=same
    for out in train-binary train-text generate; do
      cmp -s "$l/$out.out.masked" "$w/$out.out.masked" || { messages=DIFFERENT; diff "$l/$out.out.masked" "$w/$out.out.masked" | head -5 >&2; }
    done
    # A case that wrote nothing proves nothing.
    for f in trained.bin trained.txt generated.txt; do
      [ -s "$l/$f" ] || { echo "$case_dir: the Linux run wrote no $f" >&2; failed=1; }
    done
    row=("$(same "$l/trained.bin" "$w/trained.bin")" "$(same "$l/trained.txt" "$w/trained.txt")"
         "$(same "$l/generated.txt" "$w/generated.txt")" "$messages")
    printf '%-16s %-6s %-12s %-12s %-12s %-9s\n' "${build:--single}" "$isa" "${row[@]}"
    [[ " ${row[*]} " == *DIFFERENT* ]] && failed=1
  done
done
unset VANTIRO_ISA

# File names beyond ASCII (UTF-8 through the manifest's code page), and a
# kernel set that does not exist, refused alike.
side() {  # side DIR PROGRAM... : runs the program in DIR, messages and exit code to out
  local dir=$1; shift
  mkdir -p "$dir" && cp series.txt "$dir/séries ü.txt" && cp start.txt "$dir/"
  (cd "$dir" && { "$@" > out 2>&1; echo "exit $?" >> out; tr -d '\r' < out |
    sed -E 's/[0-9]+\.[0-9]+ seconds/T seconds/' > out.masked; })
}
extra() {  # extra NAME FILE ARGS... : one row, FILE the file both must write alike ("-" for none)
  local name=$1 file=$2; shift 2
  side "$name/linux" "$linux_bin/VantiroCmdLine" "$@"
  side "$name/windows" "$here/wine-run.sh" "$windows_bin/VantiroCmdLine.exe" "$@"
  local files=-
  if [ "$file" != - ]; then
    files=$(same "$name/linux/$file" "$name/windows/$file")
    [ -s "$name/linux/$file" ] || files=DIFFERENT
  fi
  local messages
  messages=$(same "$name/linux/out.masked" "$name/windows/out.masked")
  printf '%-23s %-12s %-12s %-12s %-9s\n' "$name" "$files" - - "$messages"
  [[ "$files $messages" == *DIFFERENT* ]] && failed=1
}
extra utf-8-names "état ü.txt" -train "${sizes[@]}" -learningRate 0.02 -toleranceUnit 0.01 \
  -trainToTolerance 1e30 -inputFile "séries ü.txt" -loadStateFile start.txt -loadConversionState \
  -saveStateFile "état ü.txt" -saveConversionState
VANTIRO_ISA=none extra unknown-kernel-set - -train "${sizes[@]}" -learningRate 0.02 \
  -toleranceUnit 0.01 -trainToTolerance 1e30 -inputFile "séries ü.txt" -saveStateFile s.bin
exit $failed
