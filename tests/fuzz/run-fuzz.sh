#!/bin/sh
# Usage: tests/fuzz/run-fuzz.sh TARGET SECONDS
# Builds the libFuzzer binary TARGET (e.g. stored_description) with clang in build/fuzz and
# fuzzes a copy of its seed corpus for SECONDS. Exits non-zero on any finding; the inputs
# that fail are kept in build/fuzz/findings.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 TARGET SECONDS" >&2
    exit 2
fi
name=${1%_fuzz}
seconds=$2

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/fuzz
seeds=$root/tests/fuzz/corpus/$name
findings=$build/findings
if [ ! -d "$seeds" ]; then
    echo "no seed corpus $seeds" >&2
    exit 2
fi

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSETUP_SANITIZE=ON -DSETUP_FUZZ=ON \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
    -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log" >&2
    exit 2
}
cmake --build "$build" --target "${name}_fuzz" -- -j "${FUZZ_JOBS:-1}"

# libFuzzer adds what it finds to the corpus it runs on: a copy keeps the seeds as committed.
corpus=$build/corpus/$name
rm -rf "$corpus"
mkdir -p "$corpus" "$findings"
cp "$seeds"/* "$corpus"/

dict=$root/tests/fuzz/$name.dict
set -- "-max_total_time=$seconds" "-timeout=10" "-print_final_stats=1" \
    "-artifact_prefix=$findings/$name-"
if [ -f "$dict" ]; then
    set -- "$@" "-dict=$dict"
fi

before=$(ls "$findings" | wc -l)
status=0
# libFuzzer reports progress many times a second: keep it in a log, show it on a finding.
log=$build/$name.log
"$build/tests/fuzz/${name}_fuzz" "$@" "$corpus" >"$log" 2>&1 || status=$?
after=$(ls "$findings" | wc -l)

if [ "$status" -ne 0 ] || [ "$after" -ne "$before" ]; then
    tail -n 60 "$log" >&2
    echo "run-fuzz: $name: finding (exit status $status); inputs in $findings, log $log" >&2
    exit 1
fi
grep -E '^stat::number_of_executed_units' "$log" || true
echo "run-fuzz: $name: no finding in $seconds s"
