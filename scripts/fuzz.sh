#!/bin/sh
# Builds the fuzz targets with Clang (address and undefined-behaviour
# sanitizers) and runs each for SECONDS on its seeds, two at a time, keeping
# what each run learnt in BUILD/corpus. Fails when any target found
# something; the input that showed it is in BUILD/findings.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]      (default 30 seconds, all)
#
# FUZZ_BUILD names the build folder (default build-fuzz), FUZZ_JOBS the
# number of targets run at once (default 2).
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-30}"
[ $# -gt 0 ] && shift
build="${FUZZ_BUILD:-build-fuzz}"
jobs="${FUZZ_JOBS:-2}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_FUZZ=ON \
    -DQUORVANE_BUILD_GUI=OFF -DQUORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target quorvane_fuzzers

targets="$*"
if [ -z "$targets" ]; then
    targets=$(sed -n '/^set(QUORVANE_FUZZ_TARGETS/,/)/p' fuzz/CMakeLists.txt | sed 's/^set(QUORVANE_FUZZ_TARGETS//' | tr -d '()')
fi
mkdir -p "$build/corpus" "$build/findings" "$build/logs"
export build seconds
printf '%s\n' $targets | xargs -P "$jobs" -I{} fuzz/run-target.sh {}

status=0
printf '%-18s %10s %8s %8s  %s\n' target execs exec/s cov result
for name in $targets; do
    log="$build/logs/$name.log"
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    if [ -f "$build/logs/$name.failed" ]; then
        result="FINDING (see $log)"
        status=1
    else
        result=ok
    fi
    printf '%-18s %10s %8s %8s  %s\n' "$name" "${execs:-?}" "${speed:-?}" "${cov:-?}" "$result"
done
exit $status
