#!/usr/bin/env bash
# zenrook-postal as a user runs it: building a dictionary from the postal
# service's files, asking it, and refusing files that are not what they say.
set -u
cmd=$1 fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
ok()  { passed=$((passed + 1)); echo "ok   $1"; }
bad() { failed=$((failed + 1)); echo "FAIL $1"; }

for c in "" lookup info import update barcode csv print; do
  "$cmd" $c --help | grep -q "^Usage: zenrook-postal ${c:-COMMAND}" && ok "help of '${c:-zenrook-postal}'" || bad "help of '$c'"
done
# Each command's options, as its help lists them, are the ones its part of
# the manual page describes (-d and -h are described once for all).
man="$(dirname "$0")/../resources/man/zenrook-postal.1"
for c in lookup info import update barcode csv print; do
  listed=$("$cmd" $c --help | sed -n '/^Options:/,$p' | grep -o -- '--[a-z-]*\|^  -[a-z]\b' | sed 's/^ *//' | grep -v -- '--help\|--dictionary\|^-d$\|^-h$' | sort -u)
  section=$(sed -n "/^\.SS $c\$/,/^\.S[SH] /p" "$man" | sed 's/\\-/-/g')
  described=$(awk 'after { print } { after = ($0 == ".TP") }' <<< "$section" | grep -oE -- '(^| )--?[a-z][a-z-]*' | sed 's/^ //' | sort -u)
  [ "$listed" = "$described" ] && ok "$c --help lists the options its manual section describes" \
    || bad "$c: --help lists [$(echo $listed)], the manual describes [$(echo $described)]"
done
"$cmd" frobnicate 2>/dev/null; [ $? = 2 ] && ok "an unknown command is refused" || bad "unknown command accepted"
"$cmd" import -o "$work/none.sqlite3" 2>/dev/null; [ $? = 2 ] && ok "import without files is refused" || bad "import without files"

dict="$work/p.sqlite3"
"$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" --jigyosyo "$fixtures/postal/JIGYOSYO.CSV" -o "$dict" >"$work/out" \
  && grep -q '33 codes' "$work/out" && ok "import of both files" || bad "import: $(cat "$work/out")"
"$cmd" info -d "$dict" >"$work/info"
grep -q '^source: utf_ken_all.csv + JIGYOSYO.CSV$' "$work/info" && grep -q '^business codes: 4$' "$work/info" \
  && grep -q '^data date: [0-9]\{4\}-[0-9][0-9]-[0-9][0-9]$' "$work/info" && ok "info" || bad "info: $(cat "$work/info")"

printf '１００６０１２\n1008050\n〒260-0822 千葉市中央区蘇我町1\n東京都千代田区永田町1\n北海道\n' | "$cmd" lookup -d "$dict" >"$work/out" 2>"$work/err"
rc=$?
expected=$'100-6012\t東京都千代田区霞が関霞が関ビル１２階\t\ttown\n100-8050\t東京都千代田区大手町二丁目６番４号常盤橋タワー\t東京海上日動火災保険　株式会社\tbusiness\n260-0822\t千葉県千葉市中央区蘇我町1\t\ttown\n100-0000\t東京都千代田区永田町1\t\tcatch-all\n\t北海道\t\tnot found'
[ "$rc" = 0 ] && [ "$(cat "$work/out")" = "$expected" ] && [ ! -s "$work/err" ] && ok "lookup: code, address, company, how sure" \
  || bad "lookup (exit $rc): $(cat "$work/out" "$work/err")"
# Every line is answered, whatever it holds; what could not be read is
# named with its line number, and the exit says so.
printf '1000001\n\xff\n100\0000001\nA\tB\n1000001' | "$cmd" lookup -d "$dict" >"$work/out" 2>"$work/err"
rc=$?
[ "$rc" = 1 ] && [ "$(cat "$work/out")" = $'100-0001\t東京都千代田区千代田\t\ttown\n\t\t\t\n\t\t\t\n\t\t\t\n100-0001\t東京都千代田区千代田\t\ttown' ] \
  && ok "one answer a line: not UTF-8, a NUL, a tab, no last line end" || bad "lines (exit $rc): $(od -c "$work/out" | head)"
[ "$(cat "$work/err")" = $'zenrook-postal: line 2: not valid UTF-8\nzenrook-postal: line 3: holds a NUL byte\nzenrook-postal: line 4: holds a tab' ] \
  && ok "each unreadable line named" || bad "stderr: $(cat "$work/err")"
# A code in front of the numbers alone: the code's town, as barcode and csv take it.
[ "$(printf '〒100-0013 1-3-2\n' | "$cmd" lookup -d "$dict")" = $'100-0013\t東京都千代田区霞が関1-3-2\t\ttown' ] \
  && ok "lookup: a code in front of the numbers alone" || bad "lookup 〒100-0013 1-3-2: $(printf '〒100-0013 1-3-2\n' | "$cmd" lookup -d "$dict")"
printf '2600822' | "$cmd" lookup --all --dictionary="$dict" >"$work/out"
[ "$(cat "$work/out")" = $'1\t260-0822\t千葉県千葉市中央区蘇我\t\ttown\n1\t260-0822\t千葉県千葉市中央区蘇我町\t\ttown' ] \
  && ok "lookup --all, --dictionary=FILE" || bad "lookup --all: $(cat "$work/out")"
printf '1000001\n' | "$cmd" lookup -d "$dict" >/dev/full 2>"$work/err"; rc=$?
[ "$rc" = 1 ] && grep -q 'cannot write' "$work/err" && ok "a write error on standard output: exit 1" || bad "write error (exit $rc): $(cat "$work/err")"

# Customer barcodes: the manual's example of 霞が関, a business's own code,
# blocks that decide between a town's codes; none for a town not known.
# With a code: the town alone, the business's address, another town's;
# a code written in front counts as given.
printf '東京都千代田区霞が関1丁目3番2号 郵便プラザ503室\n1008050\n札幌市東区北六条東4丁目　郵便センター6号館\n東京都千代田区永田町1\n1000013\t千代田区霞ヶ関１－３－２\n9999999\tどこか\n1000013\t霞が関1-3-2 -A\n1008050\t東京都千代田区大手町二丁目6番4号\n1000013\t東京都千代田区永田町1\n0368560\n1000001\t千代田区霞が関1-3-2\n〒100-0001 東京都千代田区霞が関1-3-2\n〒100-0013 霞が関1-3-2\n' \
  | "$cmd" barcode -d "$dict" >"$work/out" 2>"$work/err"; rc=$?
k132=$'1000013\t1-3-2\t1 0 0 0 0 1 3 1 - 3 - 2 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 9'
b8050=$'1008050\t\t1 0 0 8 0 5 0 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC3'
expected=$'1000013\t1-3-2-503\t1 0 0 0 0 1 3 1 - 3 - 2 - 5 0 3 CC4 CC4 CC4 CC4 9\n'"$b8050"$'\n0600906\t4-6\t0 6 0 0 9 0 6 4 - 6 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 9\n\t\t\n'"$k132"$'\n\t\t\n1000013\t1-3-2A\t1 0 0 0 0 1 3 1 - 3 - 2 CC1 0 CC4 CC4 CC4 CC4 CC4 CC4 7\n'"$b8050"$'\n\t\t\n0368560\t\t0 3 6 8 5 6 0 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC8\n\t\t\n\t\t\n'"$k132"
[ "$rc" = 1 ] && [ "$(cat "$work/out")" = "$expected" ] && ok "barcode: code, address number, characters" \
  || bad "barcode (exit $rc): $(cat "$work/out")"
grep -q "line 4: the town is not known: the city's catch-all code 100-0000 gets no barcode" "$work/err" \
  && grep -q 'line 6: no postal code 999-9999' "$work/err" && grep -q 'line 9: the address is not of the code 100-0013' "$work/err" \
  && grep -q 'line 11: the address is not of the code 100-0001' "$work/err" \
  && grep -q 'line 12: the address is not of the code 100-0001' "$work/err" && ok "barcode: the lines without one are named with the reason" || bad "barcode stderr: $(cat "$work/err")"
# A building's floor code with the building's street address and not its
# name: its barcode (the check character: 1+6+1+2+3+10+2+10+5 and eight CC4
# of 14 make 152, a multiple of 19, so 0); but not another town.
printf '1006012\t東京都千代田区霞が関3-2-5\n1006012\t東京都千代田区永田町1\n' | "$cmd" barcode -d "$dict" >"$work/out" 2>/dev/null
[ "$(head -1 "$work/out")" = $'1006012\t3-2-5\t1 0 0 6 0 1 2 3 - 2 - 5 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 0' ] \
  && [ "$(tail -1 "$work/out")" = $'\t\t' ] && ok "barcode: a floor's code with the building's street address" \
  || bad "floor code with street address: $(cat "$work/out")"
printf '1008050\n' | "$cmd" barcode -d "$dict" --svg "$work/one.svg" --points 8 >/dev/null && grep -q '<svg' "$work/one.svg" \
  && [ "$(grep -c '<rect' "$work/one.svg")" = 68 ] && grep -q 'width="67.840mm"' "$work/one.svg" \
  && ok "barcode --svg: one drawing of 67 bars on white at 8 point" || bad "barcode --svg: $(head -c 300 "$work/one.svg")"
# A pipe (or a device) is written to, never replaced by a file.
mkfifo "$work/fifo"; cat "$work/fifo" > "$work/from-fifo" & reader=$!
printf '1008050\n' | "$cmd" barcode -d "$dict" --svg "$work/fifo" >/dev/null 2>"$work/err"; rc=$?
wait $reader
[ "$rc" = 0 ] && [ -p "$work/fifo" ] && [ "$(grep -c '<rect' "$work/from-fifo")" = 68 ] \
  && ok "barcode --svg to a pipe: written through, still a pipe" || bad "barcode --svg to a pipe (exit $rc): $(cat "$work/err")"
printf '1008050\n1000013\n' | "$cmd" barcode -d "$dict" --svg "$work/two.svg" >/dev/null 2>"$work/err"; rc=$?
[ "$rc" = 2 ] && [ ! -e "$work/two.svg" ] && grep -q 'svg-dir' "$work/err" && ok "barcode --svg with two lines: refused" \
  || bad "barcode --svg, two lines (exit $rc)"
printf '1008050\n東京都千代田区永田町1\n1000013\n' | "$cmd" barcode -d "$dict" --svg-dir "$work/svgs" >/dev/null 2>&1
[ "$(ls "$work/svgs")" = $'line-000001.svg\nline-000003.svg' ] && ok "barcode --svg-dir: a drawing for each line that has a barcode" \
  || bad "barcode --svg-dir: $(ls "$work/svgs")"
"$cmd" barcode -d "$dict" --points 12 </dev/null 2>/dev/null; [ $? = 2 ] && ok "barcode --points beyond 11.5: refused" || bad "--points 12"

# An address list as a spreadsheet on Windows writes it (code page 932, CR
# LF, a quoted comma and a line break in cells, one row the code page does
# not hold): the same list comes back with four cells added to each row.
{ printf '名前,住所,メモ\r\n"山田, 太郎","東京都千代田区霞が関1丁目3番2号",\r\n鈴木,千代田区永田町1,"二行\n目"\r\n' | iconv -t CP932
  printf '佐藤,\x85\x40,\r\n'; } > "$work/list.csv"
"$cmd" csv -d "$dict" --header --address 住所 < "$work/list.csv" > "$work/filled.csv" 2>"$work/err"; rc=$?
{ printf '名前,住所,メモ,郵便番号,住所,確度,バーコード\r\n"山田, 太郎","東京都千代田区霞が関1丁目3番2号",,100-0013,東京都千代田区霞が関1丁目3番2号,town,1 0 0 0 0 1 3 1 - 3 - 2 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 9\r\n鈴木,千代田区永田町1,"二行\n目",100-0000,東京都千代田区永田町1,catch-all,\r\n' | iconv -t CP932
  printf '佐藤,\x85\x40,\r\n'; } > "$work/expected.csv"
[ "$rc" = 1 ] && cmp -s "$work/filled.csv" "$work/expected.csv" && grep -q 'line 5: a cell that is not code page 932, or holds a NUL byte; passed on as it came' "$work/err" \
  && ok "csv: the list in code page 932 filled, the unreadable row passed on and named" \
  || bad "csv (exit $rc): $(iconv -f CP932 -t UTF-8 "$work/filled.csv" 2>&1 | head -5) $(cat "$work/err")"
for args in "--header" "--address 2 --fill" "--address 2 --encoding latin1"; do
  "$cmd" csv -d "$dict" $args </dev/null 2>/dev/null; [ $? = 2 ] && ok "csv $args: a usage error" || bad "csv $args"
done

# A malformed file stops the import; the dictionary there stays as it was.
cp "$dict" "$work/before"
{ head -n 3 "$fixtures/postal/utf_ken_all.csv"; printf '13101,"100","100000X"\r\n'; } > "$work/utf_ken_all.csv"
"$cmd" import --ken-all "$work/utf_ken_all.csv" -o "$dict" 2>"$work/err"
rc=$?
[ "$rc" = 1 ] && grep -q 'utf_ken_all.csv:4: 15 fields expected, 3 found' "$work/err" && cmp -s "$dict" "$work/before" \
  && ok "malformed file: named with its line, dictionary kept" || bad "malformed file (exit $rc): $(cat "$work/err")"
# A folder the user cannot write to: as root, the importer runs as nobody,
# whom the folder's mode stops.
ro="$work/ro"
mkdir "$ro" && cp "$dict" "$ro/p.sqlite3" && chmod 555 "$ro" && chmod 755 "$work"
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
"${as_user[@]}" "$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" -o "$ro/p.sqlite3" 2>"$work/err2"; rc=$?
[ "$rc" = 1 ] && cmp -s "$ro/p.sqlite3" "$work/before" && grep -q "$ro" "$work/err2" && [ "$(ls "$ro")" = p.sqlite3 ] \
  && ok "read-only folder: refused with the folder named, dictionary kept" || bad "read-only folder (exit $rc): $(cat "$work/err2")"
chmod 755 "$ro"
"$cmd" lookup -d "$work/missing.sqlite3" </dev/null 2>"$work/err"; rc=$?
[ "$rc" = 1 ] && grep -q "$work/missing.sqlite3: no such file" "$work/err" && ok "no dictionary: exit 1, named" || bad "no dictionary (exit $rc): $(cat "$work/err")"
# A file that is no dictionary is named with the reason.
printf 'not a dictionary at all, just text' > "$work/text.sqlite3"
"$cmd" info -d "$work/text.sqlite3" 2>"$work/err"; rc=$?
[ "$rc" = 1 ] && grep -q "$work/text.sqlite3: not a postal dictionary (file is not a database)" "$work/err" \
  && ok "not a dictionary: the file and the reason" || bad "not a dictionary (exit $rc): $(cat "$work/err")"
# Imported dictionaries state a version too.
grep -q '^version: [0-9]\{4\}-[0-9][0-9]-[0-9][0-9]$' "$work/info" && ok "info: a version for an imported dictionary" \
  || bad "info: $(cat "$work/info")"
# An output that is one of the inputs is refused, the input left alone.
cp "$fixtures/postal/utf_ken_all.csv" "$work/ken.csv"
"$cmd" import --ken-all "$work/ken.csv" -o "$work/ken.csv" 2>"$work/err"; rc=$?
[ "$rc" = 1 ] && cmp -s "$work/ken.csv" "$fixtures/postal/utf_ken_all.csv" && grep -q 'one of the files read' "$work/err" \
  && ok "import onto its own input: refused" || bad "import onto its input (exit $rc): $(cat "$work/err")"
ln -s "$work/ken.csv" "$work/link.sqlite3"
"$cmd" import --ken-all "$work/ken.csv" -o "$work/link.sqlite3" 2>/dev/null; rc=$?
[ "$rc" = 1 ] && cmp -s "$work/ken.csv" "$fixtures/postal/utf_ken_all.csv" && ok "and through a link to it" || bad "import through a link (exit $rc)"

# Two imports to one path at once both finish and leave one whole dictionary.
"$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" -o "$work/both.sqlite3" >/dev/null 2>"$work/err1" & one=$!
"$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" --jigyosyo "$fixtures/postal/JIGYOSYO.CSV" -o "$work/both.sqlite3" >/dev/null 2>"$work/err2"; rc2=$?
wait $one; rc1=$?
[ "$rc1" = 0 ] && [ "$rc2" = 0 ] && "$cmd" info -d "$work/both.sqlite3" >/dev/null && [ -z "$(ls "$work" | grep partial)" ] \
  && ok "two imports at once: both finish, one whole dictionary, nothing left behind" || bad "imports at once ($rc1 $rc2): $(cat "$work/err1" "$work/err2")"

# A program asking one line at a time through pipes gets each answer before
# it asks the next.
mkfifo "$work/ask" "$work/answer"
"$cmd" lookup -d "$dict" < "$work/ask" > "$work/answer" & asked=$!
exec 4>"$work/ask" 5<"$work/answer"
printf '1000001\n' >&4
read -t 10 -r first <&5
printf '2600822\n' >&4
read -t 10 -r second <&5
exec 4>&- 5<&-
wait $asked
[ "$first" = $'100-0001\t東京都千代田区千代田\t\ttown' ] && [[ $second == 260-0822* ]] \
  && ok "lookup answers each line before the next is asked" || bad "lookup through pipes: '$first' '$second'"

# A dictionary replaced in place while one process is reading from it: the
# next look-up answers from the new one; a damaged one is said to be so.
"$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" -o "$work/live.sqlite3" >/dev/null
"$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" --jigyosyo "$fixtures/postal/JIGYOSYO.CSV" -o "$work/new.sqlite3" >/dev/null
mkfifo "$work/queries"
"$cmd" lookup -d "$work/live.sqlite3" < "$work/queries" > "$work/live.out" 2>"$work/live.err" & reader=$!
exec 3>"$work/queries"
printf '1008050\n' >&3; sleep 0.3
cp "$work/new.sqlite3" "$work/live.sqlite3"
printf '1008050\n' >&3; sleep 0.3
head -c 5000 "$work/new.sqlite3" > "$work/live.sqlite3"
printf '1000001\n' >&3; sleep 0.3
cp "$work/new.sqlite3" "$work/live.sqlite3"
printf '1000001\n' >&3
exec 3>&-
wait $reader; rc=$?
[ "$(cat "$work/live.out")" = $'1008050\t\t\tnot found\n100-8050\t東京都千代田区大手町二丁目６番４号常盤橋タワー\t東京海上日動火災保険　株式会社\tbusiness\n\t\t\t\n100-0001\t東京都千代田区千代田\t\ttown' ] \
  && ok "replaced while open: the next look-up answers from the new file" || bad "replaced while open (exit $rc): $(cat "$work/live.out")"
[ "$rc" = 1 ] && grep -q "line 3: $work/live.sqlite3: " "$work/live.err" && ok "a damaged file in between: named, answered empty, no crash" \
  || bad "damaged in between (exit $rc): $(cat "$work/live.err")"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
