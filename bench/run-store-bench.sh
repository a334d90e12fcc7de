#!/usr/bin/env bash
# Builds the store benchmark (native, optimised) and runs it on the 100,000-word sample.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
xz=../shared/testdata/mdb/words-ecdict-100k.mdb.xz
[ -f "$xz" ] || { echo "run-store-bench: $xz is absent" >&2; exit 1; }
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DWL_BENCH=ON -DWL_TESTS=OFF >/dev/null
cmake --build build/bench --target bench_store
mdb=build/bench/words-ecdict-100k.mdb
[ -s "$mdb" ] || xz -dc "$xz" >"$mdb"
build/bench/bench/bench_store "$mdb" "$@"
