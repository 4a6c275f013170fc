#!/usr/bin/env bash
# Runs every fuzz target, one after the other, for SECONDS seconds each, starting from its seed
# corpus in fuzz/corpus/<target>/. The fuzzers work on a copy under build/fuzz-corpus/ (kept
# between runs, so coverage grows without touching the tree); findings go to
# build/fuzz-findings/. Prints executions per target and fails when any target found something.
#   fuzz/run.sh SECONDS [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
bin=build/fuzz/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
mkdir -p build/fuzz-corpus build/fuzz-findings build/fuzz-logs

failed=0
for t in "${targets[@]}"; do
  work=build/fuzz-corpus/$t
  mkdir -p "$work"
  [ -d "fuzz/corpus/$t" ] && cp -n fuzz/corpus/"$t"/* "$work"/ 2>/dev/null
  log=build/fuzz-logs/$t.log
  nice -n 15 "$bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build/fuzz-findings/$t-" "$work" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $status -eq 0 ]; then
    echo "$t: ${runs:-?} executions, no finding, corpus $(ls "$work" | wc -l) inputs"
  else
    failed=1
    echo "$t: FINDING after ${runs:-?} executions (exit $status); see $log"
    grep -m3 -E "ERROR|SUMMARY|Test unit written" "$log" | sed 's/^/  /'
  fi
done
exit $failed
