#!/usr/bin/env bash
# Proves the Debian package on a clean system: lintian on the .deb, then a
# minimal Debian 12 root (debootstrap, cached under the build folder) where
# apt installs the package with the dependencies it names, the installed
# programs are run as a user runs them, and the package is purged again.
# Usage: tools/package-check.sh BUILD_DIR   (as root, or through sudo)
set -euo pipefail

[ "$(id -u)" -eq 0 ] || exec sudo -- "$0" "$@"
build=$(realpath "${1:-build}")
started=$SECONDS
deb=$(ls -t "$build"/zenrook_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "no zenrook_*.deb in $build: run make package first" >&2; exit 1; }
cache="$build/package-check"
clean_tar="$cache/bookworm-minbase.tar"
root="$cache/root"
archives="$cache/archives"
failed=0
ok()   { echo "ok    $1"; }
bad()  { echo "FAIL  $1"; failed=$((failed + 1)); }
skip() { echo "skip  $1: skipped: not in this package"; }
step() { echo; echo "== $1 ($((SECONDS - started)) s)"; }

# The checker's own tools, not the project's: installed here when missing.
tools=()
command -v debootstrap >/dev/null || tools+=(debootstrap)
command -v lintian >/dev/null || tools+=(lintian)
if [ ${#tools[@]} -gt 0 ]; then
  echo "installing ${tools[*]} for the check"
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${tools[@]}" >/dev/null
fi

step "lintian $(basename "$deb")"
lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>&1) || true
[ -n "$lintian_out" ] && echo "$lintian_out" || echo "(no tags)"
if grep -q '^E: ' <<<"$lintian_out"; then bad "lintian reports errors"; else ok "lintian: no errors"; fi

# debian_sources: "URI SUITE COMPONENTS..." for each enabled Debian bookworm
# source this machine's apt uses, from one-line and deb822 files alike.
debian_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -E 's/#.*//; s/\[[^]]*\]//' "$f" | awk '$1 == "deb" { $1 = ""; print substr($0, 2) }'
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && enabled != "no")
          for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print uris[u], suites[s], comps
        types = ""; enabled = ""; comps = ""; nu = 0; ns = 0
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      {
        key = tolower(substr($0, 1, index($0, ":") - 1)); value = substr($0, index($0, ":") + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", value)
      }
      key == "types" { types = value }
      key == "enabled" { enabled = tolower(value) }
      key == "uris" { nu = split(value, uris, " ") }
      key == "suites" { ns = split(value, suites, " ") }
      key == "components" { comps = value }
      END { flush() }' "$f"
  done
}
sources=$(debian_sources | awk '$2 ~ /^bookworm(-[a-z]+)?$/')
mirror=$(awk '$2 == "bookworm" { print $1; exit }' <<<"$sources")
[ -n "$mirror" ] || { echo "apt here has no Debian bookworm source to take the mirror from" >&2; exit 1; }

# A root left mounted by an interrupted run is unmounted before anything in
# it is removed; rm never crosses into another file system.
unmount_all() {
  local m
  for m in $(awk -v r="$root" 'index($2, r) == 1 { print $2 }' /proc/mounts | sort -r); do
    umount -R "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
}
# Processes the checks started inside the root, found by their root folder.
stop_root_processes() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  return 0
}
cleanup() {
  [ -d "$root" ] || return 0
  stop_root_processes
  unmount_all
}
# The used root goes at the end (the logs stay); never while mounted.
finish() {
  cleanup
  awk -v r="$root" 'index($2, r) == 1 { found = 1 } END { exit found }' /proc/mounts \
    && rm -rf --one-file-system "$root"
  return 0
}
trap finish EXIT
trap 'exit 130' INT TERM

mkdir -p "$cache" "$archives"
if [ ! -f "$clean_tar" ]; then
  step "debootstrap --variant=minbase bookworm from $mirror"
  cleanup
  rm -rf --one-file-system "$cache/bootstrap"
  if ! debootstrap --variant=minbase bookworm "$cache/bootstrap" "$mirror" > "$cache/debootstrap.log" 2>&1; then
    tail -n 20 "$cache/debootstrap.log"; exit 1
  fi
  # The same Debian suites as this machine (updates, security), no others.
  awk '{ printf "deb %s %s", $1, $2; for (i = 3; i <= NF; i++) printf " %s", $i; print "" }' <<<"$sources" \
    > "$cache/bootstrap/etc/apt/sources.list"
  # No service starts inside the root.
  printf '#!/bin/sh\nexit 101\n' > "$cache/bootstrap/usr/sbin/policy-rc.d"
  chmod 755 "$cache/bootstrap/usr/sbin/policy-rc.d"
  rm -rf "$cache/bootstrap/var/cache/apt/archives/"*.deb
  tar -C "$cache/bootstrap" --numeric-owner -cf "$clean_tar.part" . && mv "$clean_tar.part" "$clean_tar"
  rm -rf --one-file-system "$cache/bootstrap"
  echo "clean root cached in $clean_tar"
fi

step "fresh root from $(basename "$clean_tar")"
cleanup
if awk -v r="$root" 'index($2, r) == 1 { found = 1 } END { exit !found }' /proc/mounts; then
  echo "something is still mounted under $root; not removing it" >&2; exit 1
fi
rm -rf --one-file-system "$root"
mkdir -p "$root"
tar -C "$root" --numeric-owner -xf "$clean_tar"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
# Downloaded packages are kept between runs; apt checks each against the
# mirror's index, so the root itself still starts clean.
mount --bind "$archives" "$root/var/cache/apt/archives"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

step "apt-get update"
in_root apt-get update -q > "$cache/update.log" 2>&1 || { tail "$cache/update.log"; exit 1; }
ok "apt-get update ($(grep -c '^Get:' "$cache/update.log") indexes)"

pkg=$(basename "$deb")
cp "$deb" "$root/tmp/$pkg"
# What apt would download for the package on this clean root, counted with
# an empty download folder so that packages kept from earlier runs count too.
download_size() {
  mkdir -p "$root/tmp/no-archives/partial"
  in_root apt-get install -qq --print-uris -o Dir::Cache::Archives=/tmp/no-archives "$@" "/tmp/$pkg" \
    | awk '$1 ~ /^\x27/ { n++; b += $3 } END { printf "%.1f MB in %d packages", b / 1e6, n }'
}
download=$(download_size)
minimal=$(download_size --no-install-recommends)
step "apt-get install ./$pkg"
if in_root apt-get install -y "/tmp/$pkg" > "$cache/install.log" 2>&1; then
  ok "apt-get install ./$pkg"
else
  tail -n 30 "$cache/install.log"; bad "apt-get install"; exit 1
fi
grep -E '^(Need to get|After this operation|[0-9]+ upgraded)' "$cache/install.log"
installed_kib=$(in_root dpkg-query -W -f='${Installed-Size}' zenrook)
in_root dpkg-query -W -f='Depends: ${Depends}\n' zenrook
in_root dpkg -L zenrook > "$cache/files.txt"
in_root dpkg-query -W -f='${Conffiles}\n' zenrook | awk 'NF { print $1 }' >> "$cache/files.txt"
has() { grep -qx "$1" "$cache/files.txt"; }

step "installed programs"
version=$(in_root zenrook --version 2>&1) || true
[[ $version == "zenrook "[0-9]* ]] && ok "zenrook --version: $version" || bad "zenrook --version: $version"
# Every ELF file of the package finds all its libraries.
elves=0
while read -r f; do
  [ -f "$root$f" ] && [ "$(head -c 4 "$root$f" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  elves=$((elves + 1))
  missing=$(in_root ldd "$f" 2>&1 | grep 'not found' || true)
  [ -z "$missing" ] && ok "ldd $f: every library found" || bad "ldd $f: $missing"
done < "$cache/files.txt"
[ "$elves" -gt 0 ] || bad "no program in the package"
if has /usr/bin/zenrook-postal; then
  answer=$(printf '1006001\n0018501\n' | chroot "$root" env -i LANG=C.UTF-8 PATH=/usr/bin:/bin zenrook-postal lookup 2>&1) \
    && [ "$(awk -F'\t' 'NF == 3 && $2 != ""' <<<"$answer" | wc -l)" = 2 ] \
    && ok "zenrook-postal lookup" || bad "zenrook-postal lookup"
  sed 's/^/      /' <<<"$answer"
else
  skip "zenrook-postal lookup"
fi
module=$(grep -E '^/usr/lib/.*/zenrook-webengine\.so$' "$cache/files.txt" | head -n 1 || true)
[ -n "$module" ] && ok "engine module installed: $module" || skip "engine module"
# The datum conversion comes from its own module, with PROJ and its database.
if grep -qE '^/usr/lib/.*/zenrook-datum\.so$' "$cache/files.txt"; then
  answer=$(chroot "$root" env -i LANG=C.UTF-8 PATH=/usr/bin:/bin \
           zenrook --coordinates 'http://map.yahoo.co.jp/pl?lat=35.658580&lon=139.745433' 2>&1)
  [[ $answer == *"jgd2011 35.66"* ]] && ok "zenrook --coordinates through the datum module: ${answer//$'\n'/; }" \
    || bad "zenrook --coordinates: $answer"
else
  bad "no datum module installed"
fi
for f in /usr/bin/UserData.ini /usr/share/zenrook/help/zenrook.htm /usr/share/zenrook/zenrook-postal.sqlite3 \
         /usr/share/applications/jp.halvorin.Zenrook.desktop /usr/share/metainfo/jp.halvorin.Zenrook.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/jp.halvorin.Zenrook.svg /usr/share/man/man1/zenrook.1.gz \
         /usr/share/doc/zenrook/copyright; do
  has "$f" && ok "installed $f" || bad "not installed: $f"
done
has /usr/bin/zenrook-postal && { has /usr/share/man/man1/zenrook-postal.1.gz && ok "installed zenrook-postal.1.gz" || bad "no manual page for zenrook-postal"; }

step "the program under Xvfb (test tools installed in the root only for this)"
in_root apt-get install -y --no-install-recommends xvfb xauth xdotool x11-utils > "$cache/tools.log" 2>&1 \
  || { tail "$cache/tools.log"; bad "installing xvfb, xdotool, x11-utils"; exit 1; }
in_root useradd -m -s /bin/bash tester
dictionary=no
has /usr/share/zenrook/zenrook-postal.sqlite3 && dictionary=yes
cp "$(dirname "$0")/package-check-session.sh" "$root/tmp/session.sh"
# A chroot cannot make the user namespaces the engine's sandbox is built on.
chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/home/tester LANG=C.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 \
  runuser -u tester -- xvfb-run -a -s '-screen 0 1280x1024x24' bash /tmp/session.sh "$dictionary" "$module" \
  > "$cache/session.log" 2>&1 || true
cat "$cache/session.log"
grep -q '^FAIL' "$cache/session.log" && failed=$((failed + 1))
grep -q '^session: done' "$cache/session.log" || bad "the session in the root did not finish"

step "apt-get purge zenrook"
in_root apt-get purge -y zenrook > "$cache/purge.log" 2>&1 && ok "apt-get purge zenrook" || { tail "$cache/purge.log"; bad "apt-get purge"; }
left=0
while read -r f; do
  [ -e "$root$f" ] || [ -L "$root$f" ] || continue
  if [ -d "$root$f" ] && [ ! -L "$root$f" ]; then
    # A folder stays when another package owns it or holds files in it.
    in_root dpkg-query -S "$f" >/dev/null 2>&1 && continue
    [ -n "$(ls -A "$root$f")" ] && continue
  fi
  echo "      left behind: $f"; left=$((left + 1))
done < "$cache/files.txt"
[ "$left" = 0 ] && ok "no file of the package left ($(wc -l < "$cache/files.txt") paths checked)" || bad "$left paths left after purge"
user_data=$(cd "$root/home/tester" && find .local .config -type f 2>/dev/null | sort | tr '\n' ' ')
echo "      the user's data, kept: ${user_data:-none}"

echo
echo "installed size:   $installed_kib KiB"
echo "dependencies:     $download to download on a clean root ($minimal without recommended packages)"
echo "check took:       $((SECONDS - started)) s"
[ "$failed" = 0 ] && echo "package-check: all passed" || echo "package-check: $failed failed"
[ "$failed" = 0 ]
