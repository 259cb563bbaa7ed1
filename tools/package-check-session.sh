#!/usr/bin/env bash
# Run by package-check.sh inside the clean root, as a user, under xvfb-run:
# the installed program opens its window and stays up, then answers a
# request file with F9.  Arguments: whether the postal dictionary is
# installed (yes/no), the engine module's path ("" when there is none).
set -u
dictionary=$1 module=$2
cd "$HOME"
ok()  { echo "ok    $1"; }
bad() { echo "FAIL  $1"; }

# window PID: the id of the program's mapped main window, "" after 60 s.
window() {
  timeout 60 xdotool search --sync --onlyvisible --pid "$1" --name '郵便番号' 2>/dev/null | head -n 1
}
# ends PID SECONDS: waits for the program to end; its status in $rc.
ends() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; rc=$?; return 0; }
    sleep 0.1
  done
  rc=timeout; return 1
}

zenrook > window.log 2>&1 &
pid=$!
win=$(window $pid)
if [ -n "$win" ] && xwininfo -id "$win" | grep -q 'Map State: IsViewable'; then
  ok "window mode: window $win mapped ($(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'))"
  sleep 8
  if kill -0 $pid 2>/dev/null; then ok "window mode: still up 8 s later"; else bad "window mode: the program ended: $(tail -n 3 window.log)"; fi
  if [ -n "$module" ]; then
    grep -qF "$module" /proc/$pid/maps 2>/dev/null && ok "window mode: engine module loaded" \
      || bad "window mode: $module not loaded"
  fi
  grep -q 'no map view' window.log && bad "window mode: $(grep 'no map view' window.log)"
  xdotool key F12
  ends $pid 15 && [ "$rc" = 0 ] && ok "window mode: F12 ends the program (status 0)" || bad "window mode: F12 (status $rc)"
else
  bad "window mode: no mapped window in 60 s: $(tail -n 3 window.log)"
fi
kill $pid 2>/dev/null

# A calling program's request: code page 932, no line end; F4 fills the
# address from the dictionary when there is one, F9 answers.
printf 'ZenroA\t1000001\t\t\t' > aZrok.txt
if [ "$dictionary" = yes ]; then
  expected=$'ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\x90\xe7\x91\xe3\x93\x63\t\t\t0'
else
  expected=$'ZenroA\t1000001\t\t\t\t0'
fi
zenrook "$HOME/aZrok.txt" > request.log 2>&1 &
pid=$!
win=$(window $pid)
if [ -n "$win" ]; then
  sleep 1
  [ "$dictionary" = yes ] && { xdotool key F4; sleep 0.5; }
  xdotool key F9
  if ends $pid 15 && [ "$rc" = 0 ] && cmp -s aZrok.txt <(printf '%s' "$expected"); then
    ok "request answered with F9 byte for byte$([ "$dictionary" = yes ] && echo ', address from the dictionary')"
  else
    bad "request (status $rc): $(od -An -c aZrok.txt | head -n 3)"
  fi
else
  bad "request: no window in 60 s: $(tail -n 3 request.log)"
fi
kill $pid 2>/dev/null
echo "session: done"
