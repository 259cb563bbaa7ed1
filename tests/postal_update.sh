#!/usr/bin/env bash
# zenrook-postal update against a local web server: a good pair of files
# becomes the user's own dictionary, which lookup and info then use; a file
# cut short, a missing one (404), a web page instead of the archive, files
# older than the dictionary in use and a full disk each fail with the
# reason and leave the dictionary in use as it was.
set -u
cmd=$1 data=$2
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill $server 2>/dev/null; rm -rf "$work"' EXIT
passed=0 failed=0
ok()  { passed=$((passed + 1)); echo "ok   $1"; }
bad() { failed=$((failed + 1)); echo "FAIL $1"; }
export XDG_DATA_HOME=$work/home
own=$XDG_DATA_HOME/zenrook/zenrook-postal.sqlite3

mkdir -p "$work/www"
cp "$data/utf_ken_all.zip" "$data/jigyosyo.zip" "$work/www/"
head -c 1200000 "$data/utf_ken_all.zip" > "$work/www/cut.zip"
printf '<html><body>お探しのページは見つかりません</body></html>\n' > "$work/www/page.zip"
# The same data, dated a month earlier.
mkdir -p "$work/old"
python3 - "$data" "$work/old" <<'EOF'
import sys, zipfile
for name in ('utf_ken_all.zip', 'jigyosyo.zip'):
    with zipfile.ZipFile(sys.argv[1] + '/' + name) as src, \
         zipfile.ZipFile(sys.argv[2] + '/' + name, 'w', zipfile.ZIP_DEFLATED) as dst:
        for e in src.infolist():
            dst.writestr(zipfile.ZipInfo(e.filename, date_time=(2026, 4, 24, 0, 0, 0)), src.read(e.filename),
                         compress_type=zipfile.ZIP_DEFLATED)
EOF
python3 -c '
import functools, http.server, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
s = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=sys.argv[1]))
open(sys.argv[2], "w").write(str(s.server_address[1]))
s.serve_forever()' "$work/www" "$work/port" &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(cat "$work/port")"

update() { "$cmd" update "$@" >"$work/out" 2>"$work/err"; }
state() { stat -c '%i %s %Y' "$own" 2>/dev/null; sha256sum "$own" 2>/dev/null; }

update --ken-all-url "$url/utf_ken_all.zip" --jigyosyo-url "$url/jigyosyo.zip"
rc=$?
[ "$rc" = 0 ] && [ -f "$own" ] && grep -q 'data of 2026-05-26' "$work/out" && grep -q 'codes added' "$work/out" \
  && ok "a good pair of files becomes the user's own dictionary" || bad "update (exit $rc): $(cat "$work/out" "$work/err")"
"$cmd" info >"$work/info"
grep -q "^dictionary: $own\$" "$work/info" && grep -q '^kind: your own' "$work/info" && grep -q '^data date: 2026-05-26$' "$work/info" \
  && ok "info names the user's own dictionary and its date" || bad "info: $(cat "$work/info")"
[ "$(printf '札幌市中央区大通西25丁目\n' | "$cmd" lookup | cut -f1,4)" = $'064-0820\ttown' ] \
  && ok "lookup answers from it" || bad "lookup: $(printf '札幌市中央区大通西25丁目\n' | "$cmd" lookup)"

before=$(state)
fails() {  # label, what stderr must say, update's arguments
  local label=$1 says=$2
  shift 2
  update "$@"
  local rc=$?
  if [ "$rc" != 0 ] && grep -q -- "$says" "$work/err" && [ "$(state)" = "$before" ] \
     && [ -z "$(find "$(dirname "$own")" -name '*.partial')" ]; then
    ok "$label: refused, the dictionary in use untouched"
  else
    bad "$label (exit $rc): $(cat "$work/err" "$work/out")"
  fi
}
fails "a file cut short" "not a whole zip archive" --ken-all-url "$url/cut.zip" --jigyosyo-url "$url/jigyosyo.zip"
fails "a file missing (404)" "HTTP 404" --ken-all-url "$url/utf_ken_all.zip" --jigyosyo-url "$url/nothing.zip"
fails "a web page instead of the archive" "not a zip archive" --ken-all-url "$url/page.zip" --jigyosyo-url "$url/jigyosyo.zip"
fails "the other file's archive" "holds no utf_ken_all.csv" --ken-all-url "$url/jigyosyo.zip" --jigyosyo-url "$url/jigyosyo.zip"
fails "no server" "cannot download" --ken-all-url "http://127.0.0.1:9/utf_ken_all.zip"
fails "a file given that is not there" "no such file" --ken-all "$work/nothing.zip" --jigyosyo "$data/jigyosyo.zip"
fails "files older than the dictionary in use" "older than the dictionary in use" \
  --ken-all "$work/old/utf_ken_all.zip" --jigyosyo "$work/old/jigyosyo.zip"
# A full disk: no file may grow past 4 MB, and the signal that would kill
# the program for it is ignored, as a full disk gives no signal either.
(ulimit -f 4096; trap '' XFSZ; exec "$cmd" update --ken-all "$data/utf_ken_all.zip" --jigyosyo "$data/jigyosyo.zip") \
  >"$work/out" 2>"$work/err"
rc=$?
[ "$rc" != 0 ] && [ -s "$work/err" ] && [ "$(state)" = "$before" ] && [ -z "$(find "$(dirname "$own")" -name '*.partial')" ] \
  && ok "a full disk: refused, the dictionary in use untouched" || bad "full disk (exit $rc): $(cat "$work/err")"

update --ken-all "$work/old/utf_ken_all.zip" --jigyosyo "$work/old/jigyosyo.zip" --force
[ $? = 0 ] && "$cmd" info | grep -q '^data date: 2026-04-24$' && ok "--force writes older files" || bad "--force: $(cat "$work/err")"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
