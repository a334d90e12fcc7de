#!/usr/bin/env bash
# make-dist end to end on a stand-in app folder: the archive holds one folder with the program,
# its dictionary, the information page, the notices and a read-me with Windows line ends; a
# missing file is refused with a message and no archive.
set -uo pipefail
src=$1 out=$2/make-dist-test
rm -rf "$out"
mkdir -p "$out/app" "$out/dist"
fail=0
check() { # name expected actual
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
printf 'MZ program' >"$out/app/Wordlark.exe"
printf 'dictionary' >"$out/app/words.mdb"
printf 'notice\n' >"$out/app/words.mdb.NOTICE.txt"
printf '<html></html>\n' >"$out/app/wordlark-info.html"
printf 'not for users' >"$out/app/libwl_app_forms.a"
"$src/tools/make-dist" "$out/app" "$out/dist" 9.8.7 >"$out/log" 2>&1 || { cat "$out/log"; fail=1; }
zip=$out/dist/Wordlark-9.8.7-win32.zip
check "archive written" yes "$([ -s "$zip" ] && echo yes || echo no)"
check "zip signature" "PK" "$(head -c 2 "$zip")"
listing=$(cd "$out" && cmake -E tar tf "$zip" | sed 's:/$::' | sort | tr '\n' ' ')
check "entries" "Wordlark-9.8.7 Wordlark-9.8.7/README.txt Wordlark-9.8.7/RUNTIME-NOTICE.txt Wordlark-9.8.7/Wordlark.exe Wordlark-9.8.7/wordlark-info.html Wordlark-9.8.7/words.mdb Wordlark-9.8.7/words.mdb.NOTICE.txt " "$listing"
mkdir -p "$out/unpacked" && (cd "$out/unpacked" && cmake -E tar xf "$zip")
check "program copied" "MZ program" "$(cat "$out/unpacked/Wordlark-9.8.7/Wordlark.exe")"
check "read-me names the version" "Wordlark 9.8.7" "$(head -n1 "$out/unpacked/Wordlark-9.8.7/README.txt" | tr -d '\r')"
lines=$(wc -l <"$out/unpacked/Wordlark-9.8.7/README.txt")
crlf=$(grep -c $'\r$' "$out/unpacked/Wordlark-9.8.7/README.txt")
check "read-me has Windows line ends" "$lines" "$crlf"
check "runtime notice names winpthreads" 1 "$(grep -c '^- winpthreads' "$out/unpacked/Wordlark-9.8.7/RUNTIME-NOTICE.txt")"
check "no staging folder left" "Wordlark-9.8.7-win32.zip" "$(ls "$out/dist" | tr '\n' ' ' | sed 's/ $//')"
rm "$out/app/words.mdb"
if "$src/tools/make-dist" "$out/app" "$out/dist2" 9.8.7 2>"$out/err"; then echo "FAIL missing dictionary accepted"; fail=1; fi
check "missing file message" "make-dist: $out/app/words.mdb is missing (run make build first)" "$(cat "$out/err")"
check "no archive without the dictionary" no "$([ -e "$out/dist2/Wordlark-9.8.7-win32.zip" ] && echo yes || echo no)"
exit $fail
