#!/usr/bin/env bash
# F4 on the national postal dictionary, as a user meets it: a business code
# typed into an empty row fills the company; a code of several towns, or a
# city of two prefectures, offers them in a list, where Esc leaves the row
# alone; addresses written as people write them are completed.
set -u
exe=$1 xwin=$2 dictionary=$3
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/e2e_lib.sh"
if [ ! -e "$dictionary" ]; then
  echo "FAIL no national postal dictionary at $dictionary: the build makes it (make test fetches its data)"
  exit 1
fi
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# A request (an empty record unless given), the keys typed into its grid, then F9.
answer_is() {  # label, keys (xdotool key names, or "type:TEXT"), expected answer (UTF-8 here), [request]
  local file="$work/r$passed$failed""Zrok.txt"
  cp932 "${4:-$'ZenroA\t\t\t\t'}" > "$file"
  start "$file" || return
  local k
  for k in $2; do
    case $k in
      type:*) xdotool type --delay 30 "${k#type:}" ;;
      *,*) xdotool key --delay 0 ${k//,/ } ;;  # at once, as a quick typist
      *) xdotool key "$k" ;;
    esac
    sleep 0.4
  done
  xdotool key F9
  finish
  if [ "$rc" = 0 ] && cmp -s "$file" <(cp932 "$3"); then ok "$1"; else bad "$1 (exit $rc: $(iconv -f CP932 -t UTF-8 < "$file"))"; fi
}

answer_is "business code typed into an empty row: F4 fills the company" "type:1008050 F4" \
  $'ZenroA\t100-8050\t東京都千代田区大手町二丁目６番４号常盤橋タワー\t東京海上日動火災保険　株式会社\t\t1'
answer_is "floor code" "type:1006001 F4" $'ZenroA\t100-6001\t東京都千代田区霞が関霞が関ビル１階\t\t\t0'
answer_is "one town: no list, the town at once" "type:1000001 F4" $'ZenroA\t100-0001\t東京都千代田区千代田\t\t\t0'
answer_is "several towns: the list, the second picked with the arrow key and Enter" "type:0741271 F4 Down Return" \
  $'ZenroA\t074-1271\t北海道深川市広里町\t\t\t0'
answer_is "several towns: Esc leaves the row as typed" "type:0741271 F4 Escape" $'ZenroA\t0741271\t\t\t\t0'
answer_is "several towns, the address begins with one: no list" "F4" \
  $'ZenroA\t074-1271\t北海道深川市広里町5\t\t\t0' $'ZenroA\t0741271\t北海道深川市広里町5\t\t'
answer_is "no such floor: not found, row as typed" "type:1006099 F4" $'ZenroA\t1006099\t\t\t\t0'

# Addresses as people write them.
answer_is "an address without its prefecture: F4 completes 東京都" "F4" \
  $'ZenroA\t100-0013\t東京都千代田区霞が関1-3-1\t\t\t0' $'ZenroA\t\t千代田区霞が関1-3-1\t\t'
answer_is "a city of two prefectures: the list, the second line the other prefecture" "F4 Down Return" \
  $'ZenroA\t726-0000\t広島県府中市\t\t\t0' $'ZenroA\t\t府中市\t\t'
answer_is "a city of two prefectures: keys typed ahead of the list are the list's" "F4,Down,Return,F9" \
  $'ZenroA\t726-0000\t広島県府中市\t\t\t0' $'ZenroA\t\t府中市\t\t'
answer_is "a city of two prefectures: F9 typed ahead of the list does not accept beneath it" "F4,F9 Down Return" \
  $'ZenroA\t726-0000\t広島県府中市\t\t\t0' $'ZenroA\t\t府中市\t\t'
answer_is "a city of two prefectures: Esc leaves the row" "F4 Escape" \
  $'ZenroA\t\t府中市\t\t\t0' $'ZenroA\t\t府中市\t\t'
file="$work/closedZrok.txt"; cp932 $'ZenroA\t\t府中市\t\t' > "$file"
if start "$file"; then
  xdotool key F4; sleep 0.6
  "$xwin" close "$win"; finish
  [ "$rc" = 0 ] && cmp -s "$file" <(cp932 $'ZenroA\t\t府中市\t\t') && ok "the close box with the list open: list and window close, request untouched" \
    || bad "close with the list open (exit $rc: $(iconv -f CP932 -t UTF-8 < "$file"))"
fi
answer_is "a company named as a business at its address: the business's own code" "F4" \
  $'ZenroA\t163-8001\t東京都新宿区西新宿2-8-1\t東京都庁\t\t0' $'ZenroA\t\t東京都新宿区西新宿2-8-1\t東京都庁\t'
answer_is "the same address without a company: the town's code, no list" "F4" \
  $'ZenroA\t160-0023\t東京都新宿区西新宿2-8-1\t\t\t0' $'ZenroA\t\t東京都新宿区西新宿2-8-1\t\t'
answer_is "Sapporo in digits, a postal mark in front" "F4" \
  $'ZenroA\t001-0029\t北海道札幌市北区北二十九条西2丁目\t\t\t0' $'ZenroA\t\t〒001-0029　札幌市北区北29条西2丁目\t\t'
answer_is "a Tokyo island town without its island" "F4" \
  $'ZenroA\t100-1511\t東京都八丈島八丈町三根1234\t\t\t0' $'ZenroA\t\t東京都八丈町三根1234\t\t'

# Window mode: the list shows under the grid; Esc closes it, a double click
# on a town picks it.
start || exit 1
xdotool type --delay 30 2600822; sleep 0.2
xdotool key F4; sleep 0.6
popup() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx "$win" | head -n 1; }
list=$(popup)
[ -n "$list" ] && ok "window mode: F4 shows the list" || bad "window mode: no list"
[ -n "${E2E_SCREENSHOTS:-}" ] && import -window root "$E2E_SCREENSHOTS/chooser.png" 2>/dev/null
xdotool key Escape; sleep 0.4
[ -z "$(popup)" ] && ok "window mode: Esc closes the list" || bad "window mode: list still open after Esc"
xdotool key F4; sleep 0.6
list=$(popup)
if [ -n "$list" ]; then
  eval "$(xdotool getwindowgeometry --shell "$list")"
  # The second of two rows.
  xdotool mousemove $((X + 20)) $((Y + HEIGHT * 3 / 4)) click --repeat 2 --delay 80 1; sleep 0.4
fi
printf '' | xclip -selection clipboard
xdotool key F9; sleep 0.5
xdotool key Return; sleep 0.3
copied=$(xclip -o -selection clipboard 2>/dev/null)
[ "$copied" = $'260-0822\t千葉県千葉市中央区蘇我町\t\t' ] && ok "window mode: a double click picks the second town" \
  || bad "window mode: copied '$copied'"
xdotool key F12; finish
summary
