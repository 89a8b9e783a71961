#!/bin/sh
# Runs every libFuzzer target of a build for a number of seconds each.
#   sh fuzz/run.sh BUILD_DIR [SECONDS]
# FUZZ_TARGETS="fuzz_a fuzz_b" runs only those targets (for example to run
# two halves side by side on a machine with two cores).
# Each target starts from a copy of its seed corpus fuzz/corpus/<target>/ in
# BUILD_DIR/fuzz-run/<target>/, so inputs found while fuzzing never land in
# the committed corpus. Prints the executions per target; exits non-zero
# when a target reports a finding (its input is kept under
# BUILD_DIR/fuzz-run/<target>/findings/) or cannot run at all.

set -u
build=${1:?usage: sh fuzz/run.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd) || exit 2
scratch=$build/fuzz-run

case $seconds in
  ''|*[!0-9]*) echo "fuzz: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac

# Every seed corpus needs its target, and every target is run.
targets=""
for dir in "$here"/corpus/*/; do
  name=$(basename "$dir")
  if [ ! -x "$build/fuzz/$name" ]; then
    echo "fuzz: $name has a corpus but no executable in $build/fuzz" >&2
    exit 2
  fi
done
for exe in "$build"/fuzz/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=$(basename "$exe")
  if [ -n "${FUZZ_TARGETS:-}" ]; then
    case " $FUZZ_TARGETS " in *" $name "*) ;; *) continue ;; esac
  fi
  targets="$targets $name"
done
if [ -z "$targets" ]; then
  echo "fuzz: no fuzz targets in $build/fuzz (build the target fuzz_targets first)" >&2
  exit 2
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$here/../tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
asan="abort_on_error=0:symbolize=1:detect_stack_use_after_return=1"

run_target() {
  # $1 target, $2 work dir, $3 leak detection (1 or 0)
  (cd "$2" && ASAN_OPTIONS="$asan:detect_leaks=$3" "$build/fuzz/$1" \
      -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -max_len=4096 \
      -detect_leaks=0 -print_final_stats=1 -artifact_prefix=findings/ \
      corpus >log 2>&1)
}

status=0
summary=""
for name in $targets; do
  work=$scratch/$name
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  if [ -d "$here/corpus/$name" ]; then
    cp "$here/corpus/$name"/* "$work/corpus/" 2>/dev/null
  fi
  echo "fuzz: $name for ${seconds}s"
  leaks=1
  run_target "$name" "$work" 1
  rc=$?
  # Where the leak checker cannot stop the process's threads (some
  # containers forbid ptrace) the run is repeated without it.
  if [ $rc -ne 0 ] && grep -q "LeakSanitizer has encountered a fatal error\|LeakSanitizer does not work under ptrace" "$work/log"; then
    echo "fuzz: $name: leak checking is not possible here; running without it"
    rm -rf "$work/findings"/*
    leaks=0
    run_target "$name" "$work" 0
    rc=$?
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  [ -n "$runs" ] || runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$work/log" | tail -n 1)
  [ -n "$runs" ] || runs=0
  found=$(ls "$work/findings" 2>/dev/null | head -n 1)
  if [ $rc -ne 0 ] || [ -n "$found" ]; then
    status=1
    echo "fuzz: $name FAILED (exit $rc) after $runs executions"
    grep -A4 "property broken\|ERROR: \|runtime error\|SUMMARY" "$work/log" | head -n 40
    for f in "$work/findings"/*; do
      [ -f "$f" ] && echo "fuzz: input kept in $f"
    done
    echo "fuzz: full log in $work/log"
    summary="$summary$name FAILED $runs\n"
  else
    [ $leaks -eq 1 ] && note="" || note=" (no leak check)"
    echo "fuzz: $name ok, $runs executions$note"
    summary="$summary$name ok $runs\n"
  fi
done

echo
printf '%-24s %-7s %12s\n' target result executions
printf "$summary" | while read -r name result runs; do
  printf '%-24s %-7s %12s\n' "$name" "$result" "$runs"
done
if [ $status -ne 0 ]; then
  echo "fuzz: findings above; keep each input in fuzz/corpus/<target>/ as a regression case and mend the fault"
fi
exit $status
