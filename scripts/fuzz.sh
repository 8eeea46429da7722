#!/usr/bin/env bash
# Builds the fuzz targets with clang + libFuzzer and runs each for the given number of seconds,
# starting from its checked-in corpus. New crashers are left in build-fuzz/crashes/.
set -euo pipefail
seconds=${1:-30}
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVERBARIUM_FUZZ=ON -DBUILD_TESTING=OFF -DVERBARIUM_BENCH=OFF -DSANITIZE=address,undefined >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_targets
mkdir -p build-fuzz/crashes
for target in build-fuzz/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=65536 -artifact_prefix=build-fuzz/crashes/"$name"- \
    "$work" >build-fuzz/"$name".log 2>&1 || { tail -40 build-fuzz/"$name".log; exit 1; }
done
echo "fuzzing passed"
