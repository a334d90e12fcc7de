#!/usr/bin/env bash
# dictbuild end to end: build the built-in word list with Chinese headwords, look words up by
# the program's rule, and compare the dump with the independent exporter when it is installed.
set -uo pipefail
dictbuild=$1 src=$2 out=$3/dictbuild-test
mkdir -p "$out"
fail=0
check() { # name expected actual
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
"$dictbuild" build "$src/tools/demo-dict/fallback.tsv" "$out/words.mdb" --reverse 2>"$out/build.log" || { cat "$out/build.log"; exit 1; }
notfound=$'\xe5\xaf\xb9\xe4\xb8\x8d\xe8\xb5\xb7,\xe6\xb2\xa1\xe6\x9c\x89\xe6\x9f\xa5\xe8\xaf\xa2\xe5\x88\xb0\xe8\xaf\x8d\xe6\x9d\xa1.'
check "english word" $'n. \xe5\xad\x97\xe5\x85\xb8, \xe8\xaf\x8d\xe5\x85\xb8' "$("$dictbuild" lookup "$out/words.mdb" dictionary)"
check "multi-line meaning" $'n. \xe4\xb9\xa6, \xe4\xb9\xa6\xe7\xb1\x8d\r\nvt. \xe9\xa2\x84\xe8\xae\xa2' "$("$dictbuild" lookup "$out/words.mdb" book)"
check "chinese headword from the first gloss" "dictionary" "$("$dictbuild" lookup "$out/words.mdb" $'\xe5\xad\x97\xe5\x85\xb8')"
check "case differs" "$notfound" "$("$dictbuild" lookup "$out/words.mdb" Dictionary)"
check "prefix only" "$notfound" "$("$dictbuild" lookup "$out/words.mdb" dict)"
check "blanks trimmed" "pron. "$'\xe5\xae\x83' "$("$dictbuild" lookup "$out/words.mdb" '  it  ')"
rows=$("$dictbuild" dump "$out/words.mdb" main | wc -l)
check "rows: 40 words and 39 Chinese headwords" 79 "$rows"
check "tables: the words and the declaration of their order" $'main\nwl_row_order' "$("$dictbuild" tables "$out/words.mdb")"
# Stored in lookup order, letter case folded (sort -f folds ASCII letters as the store does).
if "$dictbuild" dump "$out/words.mdb" main | cut -f1 | LC_ALL=C sort -f -c 2>"$out/sort.log"; then
  echo "ok   rows stored in lookup order"
else
  echo "FAIL rows not in lookup order: $(cat "$out/sort.log")"; fail=1
fi
if "$dictbuild" dump "$out/missing.mdb" main 2>"$out/err.log"; then fail=1; echo "FAIL missing file accepted"; fi
check "missing file message" "dictbuild: $out/missing.mdb: cannot open the file" "$(cat "$out/err.log")"
if command -v mdb-export >/dev/null; then
  for table in main wl_row_order; do
    if cmp -s <("$dictbuild" dump "$out/words.mdb" $table) <(mdb-export -H -d $'\t' -q '' "$out/words.mdb" $table); then
      echo "ok   dump of $table equals mdb-export"
    else
      echo "FAIL dump of $table differs from mdb-export"; fail=1
    fi
  done
  check "mdb-export lists both tables" $'main\nwl_row_order' "$(mdb-tables -1 "$out/words.mdb")"
else
  echo "skip mdb-export comparison: mdbtools is not installed"
fi
exit $fail
