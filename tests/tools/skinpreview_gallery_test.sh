#!/usr/bin/env bash
# skinpreview under Wine, end to end: --gallery writes one picture per page of the gallery,
# named after the page, for the default and the second skin (and the two differ); a damaged or
# missing archive and an output folder that cannot be written fail with a message and their
# own exit code; the contact sheet, the dump and the usage text still work.
#   skinpreview_gallery_test.sh WINE_RUN SKINPREVIEW.exe DEFAULT.skn ALT.skn GALLERY.form OUT
set -uo pipefail
wine_run=$1 exe=$2 default_skin=$3 alt_skin=$4 form=$5 out=$6
rm -rf "$out"
mkdir -p "$out"
fail=0
check() { # name expected actual
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
win() { printf 'Z:%s' "$1"; } # the Windows path of a Linux path (Wine maps / to Z:)
run() { # stdout-file stderr-file args...; prints the exit code
  local o=$1 e=$2
  shift 2
  "$wine_run" "$exe" "$@" >"$o" 2>"$e" </dev/null
  echo $?
}

# The pages the gallery has, in order: the captions of its tab sheets.
mapfile -t pages < <(awk '/: TTabSheet/ {want=1; next} want && /Caption = / {
  sub(/^[^\x27]*\x27/, ""); sub(/\x27[^\x27]*$/, ""); print; want=0 }' "$form")
check "the gallery has pages" yes "$([ ${#pages[@]} -ge 5 ] && echo yes || echo no)"

for skin in default alt; do
  archive=$default_skin
  [ $skin = alt ] && archive=$alt_skin
  dir=$out/$skin
  code=$(run "$out/$skin.out" "$out/$skin.err" --gallery "$(win "$archive")" "$(win "$dir")")
  check "$skin: exit code" 0 "$code"
  [ "$code" = 0 ] || cat "$out/$skin.err"
  check "$skin: one picture per page" "${#pages[@]}" "$(find "$dir" -name '*.bmp' 2>/dev/null | wc -l)"
  for page in "${pages[@]}"; do
    f=$dir/$page.bmp
    check "$skin/$page: written" yes "$([ -s "$f" ] && echo yes || echo no)"
    check "$skin/$page: a BMP" BM "$(head -c 2 "$f" 2>/dev/null)"
    # A window picture, not a blank one: many different byte values among its pixels.
    values=$(tail -c +55 "$f" 2>/dev/null | head -c 300000 | od -An -v -tu1 | tr -s ' ' '\n' | sort -u | wc -l)
    check "$skin/$page: has a picture" yes "$([ "$values" -gt 20 ] && echo yes || echo no)"
  done
  check "$skin: no probe file left" 0 "$(find "$dir" -name '*.tmp' | wc -l)"
done
differing=0
for page in "${pages[@]}"; do
  cmp -s "$out/default/$page.bmp" "$out/alt/$page.bmp" || differing=$((differing + 1))
done
check "every page differs between the skins" "${#pages[@]}" "$differing"

# A file that is no skin archive: exit 1, said so, nothing written.
head -c 4000 /dev/urandom >"$out/junk.skn"
code=$(run "$out/junk.out" "$out/junk.err" --gallery "$(win "$out/junk.skn")" "$(win "$out/junk")")
check "junk archive: exit code" 1 "$code"
check "junk archive: message" 1 "$(grep -c 'is not a skin archive' "$out/junk.err")"
check "junk archive: no pictures" 0 "$(find "$out/junk" -name '*.bmp' 2>/dev/null | wc -l)"
code=$(run "$out/missing.out" "$out/missing.err" --gallery "$(win "$out/none.skn")" "$(win "$out/missing")")
check "missing archive: exit code" 1 "$code"
check "missing archive: message" 1 "$(grep -c 'cannot read' "$out/missing.err")"

# An output folder that cannot be made (its parent is a file), or is a file itself.
printf 'x' >"$out/afile"
for target in "$out/afile" "$out/afile/sub"; do
  code=$(run "$out/dir.out" "$out/dir.err" --gallery "$(win "$default_skin")" "$(win "$target")")
  check "unwritable $(basename "$target"): exit code" 3 "$code"
  check "unwritable $(basename "$target"): message" 1 "$(grep -c 'cannot write pictures to' "$out/dir.err")"
done

# The other modes are still there.
code=$(run "$out/sheet.out" "$out/sheet.err" "$(win "$alt_skin")" "$(win "$out/sheet.bmp")")
check "contact sheet: exit code" 0 "$code"
check "contact sheet: a BMP" BM "$(head -c 2 "$out/sheet.bmp" 2>/dev/null)"
code=$(run "$out/dump.out" "$out/dump.err" --dump "$(win "$alt_skin")")
check "dump: exit code" 0 "$code"
check "dump: the second skin's button margins" 1 "$(grep -c '^Buttons Frame=5 LeftWidth=5 ' "$out/dump.out")"
code=$(run "$out/usage.out" "$out/usage.err" --gallery "$(win "$alt_skin")")
check "usage: exit code" 2 "$code"
check "usage: names the gallery mode" 1 "$(grep -c -- '--gallery ARCHIVE OUT_DIR' "$out/usage.err")"

[ $fail = 0 ] && echo "skinpreview gallery: all checks passed"
exit $fail
