#!/usr/bin/env bash
# Builds the Jet reader's fuzz target and runs it: seeds are small files written by dictbuild
# (every memo storage kind, compressed text with mode switches), the regression inputs in
# tests/store/data and ../shared's sample files. Crash inputs go to build/fuzz-artifacts/.
# Usage: fuzz/run-jet-fuzz.sh [SECONDS]   (default 600)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
secs=${1:-600}
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DWL_FUZZ=ON \
  -DWL_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz --target fuzz_jet
cmake --build build/native --target dictbuild
corpus=build/fuzz/corpus-jet
seeds=build/fuzz/seeds-jet
mkdir -p "$corpus" "$seeds"
tsv=$(mktemp)
long=$(head -c 5000 /dev/zero | tr '\\0' x)
printf 'a\tb\napple\tn. \xe8\x8b\xb9\xe6\x9e\x9c\\n[\xe6\xa4\x8d] tree\n\xe4\xbd\xa0\xe5\xa5\xbd\thello\nlong\t%s\n' "$long" >"$tsv"
for inline in 0 64 100000; do
  build/native/tools/dictbuild build "$tsv" "$seeds/dict-inline$inline.mdb" --inline $inline 2>/dev/null
done
rm -f "$tsv"
# Inputs that once found faults (kept as the store tests' regression cases) seed every run.
install -m 644 tests/store/data/*.mdb "$seeds/"
if [ -d ../shared/testdata/mdb ]; then
  # The small sample files only: big seeds slow every run down.
  find ../shared/testdata/mdb -name '*.mdb' -size -320k -exec install -m 644 {} "$seeds/" \;
fi
# Crash, leak and timeout inputs land in build/, never in the working tree.
mkdir -p build/fuzz-artifacts
exec nice build/fuzz/fuzz/fuzz_jet "$corpus" "$seeds" -artifact_prefix=build/fuzz-artifacts/ -max_total_time="$secs" -timeout=10 -max_len=327680 -rss_limit_mb=1024 \
  -print_final_stats=1
