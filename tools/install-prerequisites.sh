#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, and nothing when it is all there.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
  wine wine32:i386 wine64
  fonts-wine fonts-liberation xvfb xauth x11-utils xdotool imagemagick
  cmake make g++ googletest liblzma-dev dpkg-dev xz-utils osslsigncode openssl
)
source_list=/etc/apt/sources.list.d/debian-src.sources

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
need_src=0
[ -f "$source_list" ] || need_src=1

if [ ${#missing[@]} -eq 0 ] && [ $need_i386 -eq 0 ] && [ $need_src -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

echo "Installing prerequisites: ${missing[*]:-(none)}"
[ $need_i386 -eq 0 ] || "${sudo_cmd[@]}" dpkg --add-architecture i386
if [ $need_src -eq 0 ]; then :; else
  # The source entry repeats the system's own Debian entry, so that the liblzma sources come from
  # the same archive as the binaries.
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    "${sudo_cmd[@]}" tee "$source_list" >/dev/null
fi
# Unreachable third-party lists make 'update' complain; what matters is that the installs below work.
"${sudo_cmd[@]}" apt-get update -qq >/dev/null 2>&1 || true
[ ${#missing[@]} -eq 0 ] ||
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "Prerequisites installed."
