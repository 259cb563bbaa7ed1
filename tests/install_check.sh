#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop expects of
# it, then runs the installed program once as a calling program would.
set -u
build=$1 xwin=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
prefix="$work/prefix"
exe="$prefix/bin/zenrook"
. "$(dirname "$0")/e2e_lib.sh"

cmake --install "$build" --prefix "$prefix" >/dev/null || { bad "cmake --install"; summary; exit 1; }
for f in bin/zenrook bin/zenrook-postal share/man/man1/zenrook-postal.1.gz bin/UserData.ini share/applications/jp.halvorin.Zenrook.desktop \
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
  # The installed programs find the installed dictionary, not the build tree's.
  mv "$build/zenrook-postal.sqlite3" "$work/build-dictionary"
  info=$("$prefix/bin/zenrook-postal" info)
  [[ $info == *"dictionary: $prefix/share/zenrook/zenrook-postal.sqlite3"* ]] && ok "installed zenrook-postal info" \
    || bad "installed zenrook-postal info: $info"
  [[ $("$exe" --version) == *"postal data: "*", data of "[0-9]* ]] && ok "installed --version names the postal data" \
    || bad "installed --version: $("$exe" --version)"
  mv "$work/build-dictionary" "$build/zenrook-postal.sqlite3"
fi
desktop-file-validate "$prefix/share/applications/jp.halvorin.Zenrook.desktop" && ok "desktop-file-validate" || bad "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/jp.halvorin.Zenrook.metainfo.xml" >/dev/null \
  && ok "appstreamcli validate" || bad "appstreamcli validate: $(appstreamcli validate --no-net "$prefix/share/metainfo/jp.halvorin.Zenrook.metainfo.xml")"
[[ $("$exe" --version) == "zenrook "[0-9]* ]] && ok "installed --version" || bad "installed --version"

# The installed program answers a request, its address look-up on when a dictionary came with it.
printf 'ZenroA\t1000001\t\t\t' > "$work/iZrok.txt"
if start "$work/iZrok.txt"; then
  xdotool key F4; sleep 0.3; xdotool key F9
  finish
  if [ -e "$prefix/share/zenrook/zenrook-postal.sqlite3" ]; then
    expected=$'ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\x90\xe7\x91\xe3\x93\x63\t\t\t0'
  else
    expected=$'ZenroA\t1000001\t\t\t\t0'
  fi
  [ "$rc" = 0 ] && cmp -s "$work/iZrok.txt" <(printf '%s' "$expected") && ok "the installed program answers" \
    || bad "installed program (exit $rc): $(od -c "$work/iZrok.txt" | head -n 3)"
  grep -q 'no map view' "$work/program.log" && bad "installed program: $(grep 'no map view' "$work/program.log")" \
    || ok "the installed program finds its browser engine"
fi
summary
