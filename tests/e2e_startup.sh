#!/usr/bin/env bash
# Starts the real program the way a user or a calling program does, on the
# X display the suite runs on, and looks at what it leaves behind.
set -u
exe=$1 xwin=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/e2e_lib.sh"

# ZenroA, 100-0001, 東京都千代田区, 株式会社①, a map URL, in code page 932.
request=$'ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\t\x8a\x94\x8e\xae\x89\xef\x8e\xd0\x87\x40\thttp://map.yahoo.co.jp/pl?lat=35'

# Window mode: the program opens its window and the file stays as it was.
unchanged() {  # file, content or "-" for no file
  if [ "$2" = - ]; then [ ! -e "$1" ]; else cmp -s "$1" <(printf '%s' "$2"); fi
}
window_mode() {  # label, file, its content or "-" for none, arguments...
  local label=$1 file=$2 content=$3; shift 3
  [ "$content" != - ] && printf '%s' "$content" > "$file"
  if ! launch "$title" "$@" || ! kill -0 "$pid" 2>/dev/null; then
    bad "$label: no main window"
  elif unchanged "$file" "$content"; then
    ok "$label: window mode, file untouched"
  else
    bad "$label: file changed"
  fi
  stop
}

window_mode "suffix in other case" "$work/aZROK.txt" "$request" "$work/aZROK.txt"
window_mode "no suffix" "$work/a.txt" "$request" "$work/a.txt"
window_mode "marker in other case" "$work/bZrok.txt" $'zenroA\t1\t2\t3\t4' "$work/bZrok.txt"
window_mode "missing file" "$work/missingZrok.txt" - "$work/missingZrok.txt"
window_mode "quoted path" "$work/qZrok.txt" "$request" "\"$work/qZrok.txt\""

# Request mode: answer on F9, nothing on F12.
request_mode() {  # label, key, expected file content, arguments...
  local label=$1 key=$2 expected=$3; shift 3
  local file="$*"
  printf '%s' "$request" > "$file"
  start "$@" || return
  xdotool key "$key"
  if finish && [ "$rc" = 0 ] && cmp -s "$file" <(printf '%s' "$expected"); then
    ok "$label"
  else
    bad "$label (exit $rc, file: $(od -c "$file" | head -n 3 | tr -s ' '))"
  fi
}

answer=$'ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\t\x8a\x94\x8e\xae\x89\xef\x8e\xd0\x87\x40\thttp://map.yahoo.co.jp/pl?lat=35\t0'
request_mode "F9 answers in place" F9 "$answer" "$work/rZrok.txt"
request_mode "F12 leaves the request" F12 "$request" "$work/cZrok.txt"
mkdir -p "$work/My Documents"
request_mode "unquoted path with a blank" F9 "$answer" "$work/My" "Documents/bZrok.txt"

# A request that cannot be served: a message box, then the end, file untouched.
bad_request=$'ZenroA\t100\t\x81\x20\tx\ty'
printf '%s' "$bad_request" > "$work/badZrok.txt"
if launch Zenrook "$work/badZrok.txt"; then
  sleep 0.3
  xdotool key Return
  finish
  [ "$rc" = 1 ] && cmp -s "$work/badZrok.txt" <(printf '%s' "$bad_request") \
    && ok "invalid request: message, exit 1, file untouched" || bad "invalid request (exit $rc)"
else
  bad "invalid request: no message box"; stop
fi

# No display at all: one clear line and a non-zero exit.
msg=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" 2>&1 >/dev/null); rc=$?
[ "$rc" -ne 0 ] && [ "$(printf '%s\n' "$msg" | wc -l)" = 1 ] && [[ $msg == *DISPLAY* ]] \
  && ok "no display: '$msg'" || bad "no display (exit $rc: $msg)"

# The terminal's questions need no display either, whatever follows them.
[[ $(env -u DISPLAY "$exe" --version) == "zenrook "[0-9]* ]] && ok "--version" || bad "--version"
env -u DISPLAY "$exe" --help | grep -q 'Zrok.txt' && ok "--help" || bad "--help"
[[ $(env -u DISPLAY "$exe" --version extra 2>&1) == "zenrook "[0-9]* ]] && ok "--version with more arguments" \
  || bad "--version extra: $(env -u DISPLAY "$exe" --version extra 2>&1)"
env -u DISPLAY "$exe" -h "$work/aZrok.txt" 2>&1 | grep -q 'Zrok.txt' && ok "-h with more arguments" || bad "-h with more arguments"

# A first start (nothing stored) on a highly scaled screen: the whole window
# lies on the 1600x1000 screen, keys and status bar within reach.
for scale in 2 1.5; do
  if QT_SCALE_FACTOR=$scale XDG_DATA_HOME="$work/scaled$scale" launch "$title"; then
    read -r x y w h <<< "$("$xwin" geometry "$win")"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1600 ] && [ $((y + h)) -le 1000 ] \
      && ok "first start at scale $scale fits the screen ($x $y $w $h)" || bad "first start at scale $scale: $x $y $w $h"
  else
    bad "first start at scale $scale: no window"
  fi
  stop
done

summary
