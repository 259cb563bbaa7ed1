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

for c in "" lookup info import; do
  "$cmd" $c --help | grep -q "^Usage: zenrook-postal ${c:-COMMAND}" && ok "help of '${c:-zenrook-postal}'" || bad "help of '$c'"
done
"$cmd" frobnicate 2>/dev/null; [ $? = 2 ] && ok "an unknown command is refused" || bad "unknown command accepted"
"$cmd" import -o "$work/none.sqlite3" 2>/dev/null; [ $? = 2 ] && ok "import without files is refused" || bad "import without files"

dict="$work/p.sqlite3"
"$cmd" import --ken-all "$fixtures/postal/utf_ken_all.csv" --jigyosyo "$fixtures/postal/JIGYOSYO.CSV" -o "$dict" >"$work/out" \
  && grep -q '31 codes' "$work/out" && ok "import of both files" || bad "import: $(cat "$work/out")"
"$cmd" info -d "$dict" >"$work/info"
grep -q '^source: utf_ken_all.csv + JIGYOSYO.CSV$' "$work/info" && grep -q '^business codes: 4$' "$work/info" \
  && grep -q '^data date: [0-9]\{4\}-[0-9][0-9]-[0-9][0-9]$' "$work/info" && ok "info" || bad "info: $(cat "$work/info")"

printf '１００６０１２\n1008050\n\xff\n千葉県千葉市中央区蘇我町1\n' | "$cmd" lookup -d "$dict" >"$work/out" 2>"$work/err"
rc=$?
expected=$'100-6012\t東京都千代田区霞が関霞が関ビル１２階\t\n100-8050\t東京都千代田区大手町二丁目６番４号常盤橋タワー\t東京海上日動火災保険　株式会社\n\t\t\n260-0822\t千葉県千葉市中央区蘇我町1\t'
[ "$rc" = 0 ] && [ "$(cat "$work/out")" = "$expected" ] && ok "lookup" || bad "lookup (exit $rc): $(cat "$work/out")"
grep -q 'line 3: not valid UTF-8' "$work/err" && ok "a line not UTF-8 is named" || bad "stderr: $(cat "$work/err")"
printf '2600822' | "$cmd" lookup --all -d "$dict" >"$work/out"
[ "$(cat "$work/out")" = $'1\t260-0822\t千葉県千葉市中央区蘇我\t\n1\t260-0822\t千葉県千葉市中央区蘇我町\t' ] \
  && ok "lookup --all, last line without its end" || bad "lookup --all: $(cat "$work/out")"

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
"$cmd" lookup -d "$work/missing.sqlite3" </dev/null 2>/dev/null; [ $? = 1 ] && ok "no dictionary: exit 1" || bad "no dictionary"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
