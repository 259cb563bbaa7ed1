#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop expects of
# it, then runs the installed program once as a calling program would.
set -u
build=$1 xwin=$2 fixtures=$3
work=$(mktemp -d)
# A dictionary of the user's own would be found before the installed one.
export XDG_DATA_HOME="$work/data"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
prefix="$work/prefix"
exe="$prefix/bin/zenrook"
. "$(dirname "$0")/e2e_lib.sh"

cmake --install "$build" --prefix "$prefix" >/dev/null || { bad "cmake --install"; summary; exit 1; }
for f in bin/zenrook bin/zenrook-postal share/man/man1/zenrook.1.gz share/man/man1/zenrook-postal.1.gz bin/UserData.ini share/applications/jp.halvorin.Zenrook.desktop \
         share/metainfo/jp.halvorin.Zenrook.metainfo.xml share/zenrook/help/zenrook.htm \
         share/icons/hicolor/16x16/apps/jp.halvorin.Zenrook.png share/icons/hicolor/256x256/apps/jp.halvorin.Zenrook.png \
         share/icons/hicolor/scalable/apps/jp.halvorin.Zenrook.svg; do
  [ -e "$prefix/$f" ] && ok "installed $f" || bad "missing $f"
done
module=$(find "$prefix" -name zenrook-webengine.so)
[ -n "$module" ] && ok "installed the browser engine module (${module#$prefix/})" || bad "no browser engine module"

# The installed program converts datums through its installed module, and
# says why it cannot when the module is gone.
datum=$(find "$prefix" -name zenrook-datum.so)
origin='http://map.yahoo.co.jp/pl?lat=35.658580&lon=139.745433'
out=$(env -u DISPLAY "$exe" --coordinates "$origin" 2>&1); rc=$?
[ "$rc" = 0 ] && [[ $out == *"jgd2011 35.66"* ]] && ok "installed --coordinates converts (${datum#$prefix/})" \
  || bad "installed --coordinates (exit $rc): $out"
if [ -n "$datum" ]; then
  mv "$datum" "$work/datum.so"
  out=$(env -u DISPLAY "$exe" --coordinates "$origin" 2>&1); rc=$?
  [ "$rc" = 3 ] && [[ $out == *"tokyo 35.658580 139.745433"* && $out == *"座標変換の部品 zenrook-datum.so が見つかりません"* ]] \
    && ok "without its datum module --coordinates prints the Tokyo point and says why" \
    || bad "--coordinates without the datum module (exit $rc): $out"
  mv "$work/datum.so" "$datum"
fi
if [ -e "$build/zenrook-postal.sqlite3" ]; then
  [ -e "$prefix/share/zenrook/zenrook-postal.sqlite3" ] && ok "installed the postal dictionary" || bad "no postal dictionary"
  # The installed programs open the installed dictionary, never the build
  # tree's: another dictionary planted there is not the one they find.
  mv "$build/zenrook-postal.sqlite3" "$work/build-dictionary"
  "$build/zenrook-postal" import --ken-all "$fixtures/postal/utf_ken_all.csv" -o "$build/zenrook-postal.sqlite3" >/dev/null
  info=$("$prefix/bin/zenrook-postal" info)
  [[ $info == *"source: utf_ken_all.zip + jigyosyo.zip"* && $info == *"dictionary: $prefix/share/zenrook/zenrook-postal.sqlite3"* ]] \
    && ok "installed zenrook-postal opens the installed dictionary" || bad "installed zenrook-postal info: $info"
  [[ $("$exe" --version) == *"postal data: utf_ken_all.zip + jigyosyo.zip, data of "[0-9]* ]] \
    && ok "installed zenrook opens the installed dictionary" || bad "installed --version: $("$exe" --version)"
  [[ $(printf '1006001\n' | "$prefix/bin/zenrook-postal" lookup) == "100-6001"* ]] && ok "installed lookup answers from it" \
    || bad "installed lookup: $(printf '1006001\n' | "$prefix/bin/zenrook-postal" lookup 2>&1)"
  # Without an installed one, they find none rather than the build tree's.
  mv "$prefix/share/zenrook/zenrook-postal.sqlite3" "$work/installed-dictionary"
  "$prefix/bin/zenrook-postal" info >"$work/info" 2>&1; rc=$?
  [ "$rc" = 1 ] && ! grep -q "$build" "$work/info" && ok "without its dictionary the installed zenrook-postal finds none" \
    || bad "installed zenrook-postal without its dictionary (exit $rc): $(cat "$work/info")"
  [[ $("$exe" --version) == *"postal data: none"* ]] && ok "and the installed zenrook runs without one" \
    || bad "installed --version without its dictionary: $("$exe" --version)"
  mv "$work/installed-dictionary" "$prefix/share/zenrook/zenrook-postal.sqlite3"
  mv "$work/build-dictionary" "$build/zenrook-postal.sqlite3"
else
  bad "no national dictionary in $build: make test builds it"
fi
desktop-file-validate "$prefix/share/applications/jp.halvorin.Zenrook.desktop" && ok "desktop-file-validate" || bad "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/jp.halvorin.Zenrook.metainfo.xml" >/dev/null \
  && ok "appstreamcli validate" || bad "appstreamcli validate: $(appstreamcli validate --no-net "$prefix/share/metainfo/jp.halvorin.Zenrook.metainfo.xml")"
[[ $("$exe" --version) == "zenrook "[0-9]* ]] && ok "installed --version" || bad "installed --version"

# The installed program answers a request, its address look-up on when a
# dictionary came with it, once it has loaded its browser engine.
printf 'ZenroA\t1000001\t\t\t' > "$work/iZrok.txt"
if start "$work/iZrok.txt"; then
  for _ in $(seq 1000); do
    grep -q zenrook-webengine.so "/proc/$pid/maps" 2>/dev/null || grep -q 'no map view' "$work/program.log" && break
    sleep 0.01
  done
  grep -q zenrook-webengine.so "/proc/$pid/maps" 2>/dev/null && ok "the installed program loads its browser engine" \
    || bad "the installed program did not load its browser engine: $(grep 'no map view' "$work/program.log")"
  xdotool key F4; sleep 0.3; xdotool key F9
  finish
  if [ -e "$prefix/share/zenrook/zenrook-postal.sqlite3" ]; then
    expected=$'ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\x90\xe7\x91\xe3\x93\x63\t\t\t0'
  else
    expected=$'ZenroA\t1000001\t\t\t\t0'
  fi
  [ "$rc" = 0 ] && cmp -s "$work/iZrok.txt" <(printf '%s' "$expected") && ok "the installed program answers" \
    || bad "installed program (exit $rc): $(od -c "$work/iZrok.txt" | head -n 3)"
fi
summary
