#!/bin/sh
# make fuzz: builds the fuzz targets with clang and libFuzzer, seeds them with
# the three layout libraries, and runs each for FUZZ_SECONDS (default 60).
# FUZZ_SANITIZERS (default address,undefined) picks the sanitizers; without
# AddressSanitizer ("undefined") a run makes several times more inputs, with
# libstdc++'s bounds checks still on. FUZZ_RUNS stops each run after that
# many inputs instead; FUZZ_TARGETS names the targets to run.
# An input that crashes, reads out of bounds or runs longer than 10 s stops
# the run and is kept as build/fuzz-*/<target>-crash-... or -timeout-...
set -eu
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
sanitizers=${FUZZ_SANITIZERS:-address,undefined}
targets=${FUZZ_TARGETS:-fuzz_library fuzz_check}
limit="-max_total_time=$seconds"
[ -z "${FUZZ_RUNS:-}" ] || limit="-runs=$FUZZ_RUNS"
build=build/fuzz-$(echo "$sanitizers" | tr , -)

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKVAR_FUZZ=ON -DKVAR_FUZZ_SANITIZERS="$sanitizers"
# shellcheck disable=SC2086
cmake --build "$build" --target $targets

mkdir -p "$build/seeds"
cp "$build"/dist/*.dll "$build/seeds/"
for target in $targets; do
  mkdir -p "$build/corpus/$target"
  "$build/fuzz/$target" "$limit" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/$target-" "$build/corpus/$target" "$build/seeds"
done
