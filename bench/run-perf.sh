#!/usr/bin/env bash
# Start-up, attach and skin-switch timings of two builds taken in turns under Wine, so that the
# load of a shared machine falls on both alike. BEFORE and AFTER are folders that hold
# Wordlark.exe and startup_probe.exe (each with words.mdb beside it), bare_window.exe,
# startup_bench.exe, attach_bench.exe and switch_bench.exe, copied from build/win64/app,
# build/win64/bench and build/win64/bench/skin (a symbolic link to words.mdb will do).
#   tools/with-wine bench/run-perf.sh BEFORE AFTER [STARTS] [ROUNDS]
# STARTS: starts of each program (default 15); ROUNDS: alternating rounds of the attach and
# switch harnesses (default 3).
set -uo pipefail
before=$1 after=$2 starts=${3:-15} rounds=${4:-3}
wine=${WINELOADER:-wine}
win() { printf 'Z:%s' "$(realpath "$1")"; }

echo "== start-up (in turns; ratio to the bare window)"
"$wine" "$after/startup_bench.exe" "$starts" "$(win "$after/bare_window.exe")" \
  "$(win "$before/Wordlark.exe")" "$(win "$after/Wordlark.exe")" \
  "$(win "$before/startup_probe.exe")" "$(win "$after/startup_probe.exe")"

echo "== attach: 100 mixed controls, then 100 of each kind (0 button .. 9 progress/track bar)"
for kind in -1 0 1 2 3 4 5 6 7 8 9; do
  for r in $(seq "$rounds"); do
    for side in before after; do
      dir=$before; [ "$side" = after ] && dir=$after
      line=$("$wine" "$dir/attach_bench.exe" 30 "$kind" 2>/dev/null | grep 'scan (find')
      printf 'kind %3s  %-6s %s\n' "$kind" "$side" "$line"
    done
  done
done

echo "== skin switch of the gallery"
for r in $(seq "$rounds"); do
  for side in before after; do
    dir=$before; [ "$side" = after ] && dir=$after
    printf '%-6s ' "$side"; "$wine" "$dir/switch_bench.exe" 15 2>/dev/null | tail -n 1
  done
done
