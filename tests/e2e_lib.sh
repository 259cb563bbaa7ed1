# Shared by the end-to-end scripts: starting the real program, waiting for
# its window and its end, and counting outcomes. Needs $exe, $xwin, $work.
title='住所･郵便番号･緯度･経度を調べる (Yahoo 測地系=tokyo)'
passed=0 failed=0
export QTWEBENGINE_DISABLE_SANDBOX=1 QT_LOGGING_RULES=qt.webenginecontext.info=false
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"

user_xml="$work/data/Halvorin/$(basename "$exe")/User.xml"
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# redirect_server: logs every request the map's redirect service
# (127.0.0.1:47614) gets, as it arrived, to $work/redirects.log.
redirect_server() {
  python3 -u -m http.server 47614 --bind 127.0.0.1 --directory "$work" 2>"$work/redirects.log" >/dev/null &
  for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/47614) 2>/dev/null && break; sleep 0.05; done
}

ok()  { passed=$((passed + 1)); echo "ok   $1"; }
bad() { failed=$((failed + 1)); echo "FAIL $1"; }

# launch WINDOW_TITLE ARGS...: starts the program; its pid in $pid and, once
# a viewable window of that title is mapped, its id in $win ("" if none in 15 s).
# This Xvfb now and then refuses a connection while another client comes or
# goes; a program that could not connect is started once more.
launch() {
  launch_once "$@" && return 0
  grep -q 'could not connect to display' "$work/program.log" || return 1
  : > "$work/program.log"
  launch_once "$@"
}

launch_once() {
  local name=$1; shift
  : > "$work/spawn.out"
  "$xwin" spawn "$name" 15000 "$exe" "$@" > "$work/spawn.out" 2>>"$work/program.log" &
  spawner=$!
  pid="" win=""
  for _ in $(seq 1600); do
    [ -z "$pid" ] && pid=$(sed -n 1p "$work/spawn.out")
    win=$(sed -n 2p "$work/spawn.out" | cut -d' ' -f1)
    [ -n "$win" ] && break
    kill -0 "$spawner" 2>/dev/null || break
    sleep 0.01
  done
  [ "$win" = 0 ] && win=""
  [ -n "$win" ] && return 0
  echo "  (no window: $(tr '\n' ' ' < "$work/spawn.out"); program said: $(tail -n 3 "$work/program.log" | tr '\n' ' '))"
  return 1
}

# start ARGS...: launch with the main window's title, settled for input.
start() {
  launch "$title" "$@" || { bad "no main window for $*"; stop; return 1; }
  sleep 0.3
}

# finish: waits up to 10 s for the program to end; its exit code in $rc.
finish() {
  for _ in $(seq 200); do
    kill -0 "$spawner" 2>/dev/null || { wait "$spawner"; rc=$?; return 0; }
    sleep 0.05
  done
  stop; rc=timeout; return 1
}

stop() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wait "$spawner" 2>/dev/null
}

summary() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}
