#!/usr/bin/env bash
# The program as a calling program and a user meet it, built with its map
# services on 127.0.0.1:47613 (map) and 127.0.0.1:47614 (redirects).
set -u
exe=$1 xwin=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/e2e_lib.sh"
same()  { cmp -s "$1" <(cp932 "$2"); }

# Every request the redirect service gets, as it arrived.
redirect_server

answer_is() {  # label, request text, key, expected file text (UTF-8 here)
  local file="$work/req$passed$failed""Zrok.txt"
  cp932 "$2" > "$file"
  start "$file" || return
  [ -n "${before_key:-}" ] && eval "$before_key"
  xdotool key "$3"
  finish
  if [ "$rc" = 0 ] && same "$file" "$4"; then ok "$1"; else bad "$1 (exit $rc: $(iconv -f CP932 -t UTF-8 < "$file" | od -c | head -n 2 | tr -s ' '))"; fi
}

# The first start: no User.xml yet, the window at its designed place.
start || exit 1
geometry=$("$xwin" geometry "$win")
[ "$geometry" = "45 130 1177 496" ] && ok "first start at the designed place" || bad "first start at $geometry"
xdotool windowmove "$win" 200 150; sleep 0.3
xdotool key F12; finish
expected_xml=$'<?xml version=\'1.0\' encoding=\'Shift-JIS\' ?>\r\n<運用>\r\n   <位置>\r\n      <TOP>2250</TOP>\r\n      <LEFT>3000</LEFT>\r\n      <WIDTH>17655</WIDTH>\r\n      <HEIGHT>7440</HEIGHT>\r\n   </位置>\r\n</運用>'
same "$user_xml" "$expected_xml" && ok "closing writes the nine-line User.xml" || bad "User.xml: $(od -c "$user_xml" | head -n 4)"
start || exit 1
[ "$("$xwin" geometry "$win")" = "200 150 1177 496" ] && ok "the next start opens where the window was" || bad "next start at $("$xwin" geometry "$win")"
xdotool key F12; finish
# A place on no screen is not restored; one partly off the edge is, as read,
# and stored back with the negative values as 0.
place() {  # top left width height (twips)
  cp932 "<?xml version='1.0' encoding='Shift-JIS' ?>"$'\r\n<運用>\r\n   <位置>\r\n'"      <TOP>$1</TOP>"$'\r\n'"      <LEFT>$2</LEFT>"$'\r\n'"      <WIDTH>$3</WIDTH>"$'\r\n'"      <HEIGHT>$4</HEIGHT>"$'\r\n   </位置>\r\n</運用>' > "$user_xml"
}
place 1500000 1500000 15000 6000
start && { [ "$("$xwin" geometry "$win")" = "45 130 1177 496" ] && ok "a place on no screen is not used" || bad "off-screen place used: $("$xwin" geometry "$win")"; xdotool key F12; finish; }
place -300 -450 15000 6000
start && { [ "$("$xwin" geometry "$win")" = "-30 -20 1000 400" ] && ok "a place partly off the edge is used as read" || bad "negative place: $("$xwin" geometry "$win")"; xdotool key F12; finish; }
grep -q '<TOP>0</TOP>' "$user_xml" && grep -q '<LEFT>0</LEFT>' "$user_xml" && ok "negative places are stored as 0" || bad "stored: $(cat "$user_xml")"
cp "$user_xml" "$work/user.before"

search='/maps/recommend/map_search/*http://127.0.0.1:47613/search?ei=UTF-8&p=%E6%9D%B1%E4%BA%AC%E9%83%BD%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA'
# The search runs once the map view is up: F9 when it has reached the service.
before_key='for _ in $(seq 300); do grep -q "GET " "$work/redirects.log" && break; sleep 0.05; done' \
answer_is "without a map URL: searched, accepted unchanged" \
  $'ZenroA\t100-0001\t東京都千代田区\t会社\t' F9 $'ZenroA\t100-0001\t東京都千代田区\t会社\t\t0'
grep -qF "\"GET $search HTTP" "$work/redirects.log" && ok "the pane searched the address" || bad "no search: $(cat "$work/redirects.log")"
answer_is "foreign map URL: dropped, flag 1" \
  $'ZenroA\t1\t東京都千代田区\t会社\thttp://example.com/map' F9 $'ZenroA\t1\t東京都千代田区\t会社\t\t1'
answer_is "marker continued, extra fields dropped" \
  $'ZenroAxyz\t1\t2\t3\thttp://127.0.0.1:47613/pl?a=1\textra\tmore' F9 $'ZenroA\t1\t2\t3\thttp://127.0.0.1:47613/pl?a=1\t0'
before_key='printf "%s" "http://127.0.0.1:47613/pl?lat=35.6" | xclip -selection clipboard >/dev/null 2>&1; sleep 0.5' \
answer_is "a map URL copied by another program is the answer" \
  $'ZenroA\t1\t2\t3\t' F9 $'ZenroA\t1\t2\t3\thttp://127.0.0.1:47613/pl?lat=35.6\t1'
# Today's pages are https; a browser's copy may end in a line end, which is not kept.
today='https://127.0.0.1:47613/place?lat=35.681236&lon=139.767125&zoom=16&maptype=basic'
before_key='printf "%s\r\n" "$today" | xclip -selection clipboard >/dev/null 2>&1; sleep 0.5' \
answer_is "an https page copied by another program is the answer" \
  $'ZenroA\t1\t2\t3\thttp://127.0.0.1:47613/pl?lat=35.6' F9 $'ZenroA\t1\t2\t3\t'"$today"$'\t1'
answer_is "a request's https URL is kept: accepted unchanged, flag 0" \
  $'ZenroA\t100-0005\t東京都千代田区丸の内1\t\t'"$today" F9 $'ZenroA\t100-0005\t東京都千代田区丸の内1\t\t'"$today"$'\t0'
printf "%s" "http://127.0.0.1:47613/pl?copied=before" | xclip -selection clipboard >/dev/null 2>&1
answer_is "a URL copied before the window opened is not taken" $'ZenroA\t1\t2\t3\t' F9 $'ZenroA\t1\t2\t3\t\t0'
answer_is "F12 leaves the request" $'ZenroA\t1\t2\t3\t' F12 $'ZenroA\t1\t2\t3\t'
cmp -s "$user_xml" "$work/user.before" && ok "accept and cancel leave User.xml alone" || bad "User.xml changed by a request"

# The close box cancels, and stores the window's place.
file="$work/closeZrok.txt"
cp932 $'ZenroA\t1\t2\t3\t' > "$file"
start "$file" && xdotool windowmove "$win" 300 200 && sleep 0.3 && "$xwin" close "$win" && finish
if [ "$rc" = 0 ] && same "$file" $'ZenroA\t1\t2\t3\t' && grep -q '<LEFT>4500</LEFT>' "$user_xml"; then
  ok "close box: request untouched, place stored"
else
  bad "close box (exit $rc)"
fi

# The place a map URL shows, for scripts: no window, no display needed.
origin='http://127.0.0.1:47613/beta/?lat=35.39.17.5148;lon=139.44.40.5020;sc=2'
out=$(env -u DISPLAY "$exe" --coordinates "$origin" 2>"$work/coordinates.err"); rc=$?
if [ "$rc" = 0 ] && [[ $out == $'tokyo 35.654865 139.744584\njgd2011 35.658'[01]*' 139.74135'* ]] && [ ! -s "$work/coordinates.err" ]; then
  ok "--coordinates prints the Tokyo and JGD2011 points"
else
  bad "--coordinates (exit $rc): $out $(cat "$work/coordinates.err")"
fi
env -u DISPLAY "$exe" --coordinates "$origin" >/dev/full 2>"$work/coordinates.err"; rc=$?
[ "$rc" = 4 ] && grep -q 'cannot write the coordinates' "$work/coordinates.err" && ok "--coordinates that cannot be written: exit 4" \
  || bad "--coordinates to a full disk (exit $rc): $(cat "$work/coordinates.err")"
out=$(env -u DISPLAY "$exe" --coordinates 'http://example.com/?lat=35.6&lon=139.7' 2>"$work/coordinates.err"); rc=$?
[ "$rc" = 1 ] && [ -z "$out" ] && [ -s "$work/coordinates.err" ] && ok "--coordinates without a place: exit 1 and a message" \
  || bad "--coordinates without a place (exit $rc): $out"

# A map URL copied by another program puts its place on status bar panels 2
# and 3; a double click on either copies it, F2 empties them.
panel_copy() {  # distance of the panel's middle from the window's right edge
  local w h
  read -r _ _ w h <<< "$("$xwin" geometry "$win")"
  xdotool mousemove --window "$win" $((w - $1)) $((h - 10)) click --repeat 2 --delay 60 1
  sleep 0.3
  xclip -selection clipboard -o 2>/dev/null
}
start || exit 1
printf "%s" "$origin" | xclip -selection clipboard >/dev/null 2>&1; sleep 0.5
[ "$(panel_copy 174)" = "35.654865,139.744584" ] && ok "a captured map URL fills panel 2" || bad "panel 2 after a capture: $(xclip -selection clipboard -o 2>&1)"
printf "%s" "other text" | xclip -selection clipboard >/dev/null 2>&1; sleep 0.3
[ "$(panel_copy 72)" = "35.654865,139.744584" ] && ok "and panel 3" || bad "panel 3 after a capture: $(xclip -selection clipboard -o 2>&1)"
xdotool key F2; sleep 0.3
printf "%s" "other text" | xclip -selection clipboard >/dev/null 2>&1; sleep 0.3
[ "$(panel_copy 174)" = "other text" ] && [ "$(panel_copy 72)" = "other text" ] && ok "F2 empties both panels" || bad "panels after F2: $(xclip -selection clipboard -o 2>&1)"
xdotool key F12; finish

summary
