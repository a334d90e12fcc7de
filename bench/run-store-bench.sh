#!/usr/bin/env bash
# Builds the store benchmark and dictbuild (native, optimised) and runs the benchmark on the
# whole dictionary and on the 20,000-word one, both made by tools/make-demo-dict from the cached
# ECDICT package (kept in .cache/ecdict, shared with `make build`), and on the 100,000-word
# sample of another writer when ../shared/testdata has it. The whole dictionary's run also
# compares the on-disk search with the full read on 10,000 random keys.
# Usage: bench/run-store-bench.sh [google-benchmark flags]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DWL_BENCH=ON -DWL_TESTS=OFF >/dev/null
cmake --build build/bench --target bench_store dictbuild
out=build/bench/dict
for words in all 20000; do
  mkdir -p "$out/$words"
  start=$(date +%s.%N)
  WL_DEMO_WORDS=$words tools/make-demo-dict build/bench/tools/dictbuild "$out/$words"
  echo "dictionary '$words' ready in $(echo "$(date +%s.%N) - $start" | bc) s (0 when cached)"
done
echo "== whole dictionary"
build/bench/bench/bench_store "$out/all/words.mdb" --compare "${@:---benchmark_filter=none}"
echo "== 20,000 words"
build/bench/bench/bench_store "$out/20000/words.mdb" "${@:---benchmark_filter=none}"
xz=../shared/testdata/mdb/words-ecdict-100k.mdb.xz
if [ -f "$xz" ]; then
  mdb=build/bench/words-ecdict-100k.mdb
  [ -s "$mdb" ] || xz -dc "$xz" >"$mdb"
  echo "== 100,000-word sample of another writer (read whole)"
  build/bench/bench/bench_store "$mdb" --compare "${@:---benchmark_filter=none}"
fi
