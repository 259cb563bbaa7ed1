#!/usr/bin/env bash
# The browser engine as the program loads it after its window is up: a
# request answered at once never starts it, and without its module the
# program still serves requests and says why the map is missing.
set -u
exe=$1 xwin=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/e2e_lib.sh"
export ZENROOK_E2E_MARK="engine-$$"

# Processes started by this script's programs, found by the mark in their environment.
marked() { grep -l "ZENROOK_E2E_MARK=$ZENROOK_E2E_MARK" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3; }
engine_processes() { for p in $(marked); do grep -q QtWebEngineProc "/proc/$p/comm" 2>/dev/null && echo "$p"; done; }

# F9 the moment the window maps: the answer, and no engine process at any point.
for round in 1 2 3; do
  printf 'ZenroA\t100-0001\t\t\thttp://map.yahoo.co.jp/pl?lat=35.6' > "$work/nowZrok.txt"
  : > "$work/spawn.out"
  "$xwin" spawn "$title" 15000 "$exe" "$work/nowZrok.txt" > "$work/spawn.out" 2>>"$work/program.log" &
  spawner=$!
  seen=""
  for _ in $(seq 1500); do
    [ -n "$(sed -n 2p "$work/spawn.out")" ] && break
    sleep 0.01
  done
  xdotool key F9
  while kill -0 "$spawner" 2>/dev/null; do
    seen="$seen$(engine_processes)"
    sleep 0.005
  done
  wait "$spawner"; rc=$?
  expected=$'ZenroA\t100-0001\t\t\thttp://map.yahoo.co.jp/pl?lat=35.6\t0'
  [ "$rc" = 0 ] && cmp -s "$work/nowZrok.txt" <(printf '%s' "$expected") \
    && ok "round $round: F9 at once answers" || bad "round $round: F9 at once (exit $rc): $(od -c "$work/nowZrok.txt" | head -n 2)"
  [ -z "$seen" ] && ok "round $round: no engine process at any point" || bad "round $round: engine processes $seen"
  sleep 0.5
  [ -z "$(engine_processes)" ] && ok "round $round: none after exit" || bad "round $round: left behind: $(engine_processes)"
done

# What the window waits for: when it maps, neither the engine nor PROJ nor a
# bold face has been loaded, and no more font files than one for Latin and
# one for Japanese text; the engine follows at once, PROJ with the first
# place to convert.
"$xwin" spawn "$title" 15000 "$exe" > "$work/spawn.out" 2>>"$work/program.log" &
spawner=$!
for _ in $(seq 3000); do [ -n "$(sed -n 2p "$work/spawn.out")" ] && break; sleep 0.005; done
pid=$(sed -n 1p "$work/spawn.out")
early=$(grep -oE '/[^ ]+$' "/proc/$pid/maps" | sort -u)
if [ -n "$early" ] && ! grep -qE 'WebEngine|libproj|zenrook-datum|Bold' <<< "$early"; then
  ok "the window maps before the engine, PROJ or a bold face is loaded"
else
  bad "loaded when the window mapped: $(grep -E 'WebEngine|libproj|zenrook-datum|Bold' <<< "$early" | tr '\n' ' ')"
fi
for _ in $(seq 1000); do grep -q WebEngineCore "/proc/$pid/maps" && break; sleep 0.01; done
grep -q WebEngineCore "/proc/$pid/maps" && ok "the engine is loaded after the window" || bad "the engine never loaded"
echo -n 'http://map.yahoo.co.jp/pl?lat=35.658580&lon=139.745433' | xclip -selection clipboard -i >/dev/null 2>&1
for _ in $(seq 500); do grep -q libproj "/proc/$pid/maps" && break; sleep 0.01; done
grep -q libproj "/proc/$pid/maps" && ok "a copied map URL loads PROJ" || bad "a copied map URL did not load PROJ"
fonts=$(grep -E '\.(ttf|ttc|otf)$' <<< "$early")
[ -n "$fonts" ] && [ "$(wc -l <<< "$fonts")" -le 2 ] && ok "the window maps with $(wc -l <<< "$fonts") font files open" \
  || bad "font files open when the window mapped: $(tr '\n' ' ' <<< "$fonts")"
kill "$pid"; wait "$spawner"

# A request whose map URL carries a place: the window maps before the datum
# module and PROJ, which come for the status bar once it is painted.
today='https://map.yahoo.co.jp/place?lat=35.681236&lon=139.767125&zoom=16&maptype=basic'
printf 'ZenroA\t100-0005\t\t\t%s' "$today" > "$work/placeZrok.txt"
"$xwin" spawn "$title" 15000 "$exe" "$work/placeZrok.txt" > "$work/spawn.out" 2>>"$work/program.log" &
spawner=$!
for _ in $(seq 3000); do [ -n "$(sed -n 2p "$work/spawn.out")" ] && break; sleep 0.005; done
pid=$(sed -n 1p "$work/spawn.out")
early=$(grep -oE '/[^ ]+$' "/proc/$pid/maps" | sort -u)
[ -n "$early" ] && ! grep -qE 'libproj|zenrook-datum' <<< "$early" \
  && ok "a request with a place maps before the datum module" || bad "loaded when it mapped: $(grep -E 'libproj|zenrook-datum' <<< "$early" | tr '\n' ' ')"
for _ in $(seq 500); do grep -q libproj "/proc/$pid/maps" && break; sleep 0.01; done
grep -q libproj "/proc/$pid/maps" && ok "and PROJ follows for its panels" || bad "PROJ never loaded for the request's place"
xdotool key F9; wait "$spawner"; rc=$?
[ "$rc" = 0 ] && cmp -s "$work/placeZrok.txt" <(printf 'ZenroA\t100-0005\t\t\t%s\t0' "$today") \
  && ok "its https URL is answered unchanged" || bad "answer (exit $rc): $(od -c "$work/placeZrok.txt" | head -n 2)"

# The program moved away from its module (and from the build tree).
mkdir -p "$work/bin"
cp "$exe" "$(dirname "$exe")/UserData.ini" "$(dirname "$exe")/zenrook-postal.sqlite3" "$work/bin/"
exe="$work/bin/zenrook"
: > "$work/program.log"
printf 'ZenroA\t1000001\t\t\t' > "$work/awayZrok.txt"
if start "$work/awayZrok.txt"; then
  xdotool key F4; sleep 0.3; xdotool key F9
  finish
  answer=$(cut -f2 "$work/awayZrok.txt")
  [ "$rc" = 0 ] && grep -q $'\t0$' "$work/awayZrok.txt" && [ "$answer" = 100-0001 ] \
    && ok "without the module: F4 and F9 answer" || bad "without the module (exit $rc): $(od -c "$work/awayZrok.txt" | head -n 2)"
fi
lines=$(grep -c 'zenrook: no map view: zenrook-webengine.so is in none of' "$work/program.log")
[ "$lines" = 1 ] && ok "without the module: one line on the terminal" || bad "terminal said: $(cat "$work/program.log")"
summary
