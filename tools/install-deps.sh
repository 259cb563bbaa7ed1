#!/usr/bin/env bash
# Installs the Debian packages the build, the program and its tests need,
# only those that are missing. Another package manager at work (an update
# tool, a second terminal) is waited for, up to a time limit.
set -euo pipefail

packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-webengine-dev qt6-qpa-plugins libsqlite3-dev libzip-dev libproj-dev proj-data
  libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-cjk libpango1.0-dev libcairo2-dev poppler-utils
  desktop-file-utils appstream dpkg-dev
  xvfb xauth xdotool xclip x11-utils libx11-dev python3 openbox
)
lock_timeout=${ZENROOK_APT_LOCK_TIMEOUT:-600}

# Installed, or installed with triggers still to run: either way usable.
installed() {
  case $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) in
    installed|triggers-pending|triggers-awaited) return 0 ;;
    *) return 1 ;;
  esac
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# apt-get waits for the dpkg lock itself; the lists lock of "update" it does
# not, so a refusal naming a lock is tried again until the limit.
apt() {
  local deadline=$((SECONDS + lock_timeout)) err
  err=$(mktemp)
  until "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout="$lock_timeout" "$@" 2>"$err"; do
    if ! grep -qi 'lock' "$err"; then
      cat "$err" >&2; rm -f "$err"; return 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      cat "$err" >&2; rm -f "$err"
      echo "error: another package manager has held the package lock for ${lock_timeout} s; let it finish, then run this again" >&2
      return 1
    fi
    echo "waiting for another package manager to finish..." >&2
    sleep 5
  done
  cat "$err" >&2; rm -f "$err"
}

echo "Installing Debian packages: ${missing[*]}"
apt update -qq
apt install -y -q "${missing[@]}"
