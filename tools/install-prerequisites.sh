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

# Wine runs the installer through its 32-bit Linux loader. Some virtual machines' kernels cannot run
# 32-bit Linux programs; there the loader runs under QEMU's user-mode emulation, registered with the
# kernel as the interpreter of 32-bit x86 programs. It must be QEMU 8 or later, from the release's
# backports: under 7.2, Wine's search for free address space takes about a minute per process.
wine_loader=/usr/lib/wine/wine
qemu=/usr/bin/qemu-i386-static
backports_list=/etc/apt/sources.list.d/debian-backports.sources
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
runs_i386() { [ ! -x "$wine_loader" ] || "$wine_loader" --version >/dev/null 2>&1; }
qemu_major() { "$qemu" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p'; }
ensure_i386_runs() {
  local binfmt=/proc/sys/fs/binfmt_misc major
  if [ -e "$binfmt/qemu-i386" ]; then
    major=$(qemu_major)
    [ "${major:-0}" -ge 8 ] && grep -qx enabled "$binfmt/qemu-i386" && runs_i386 && return 0
  else
    runs_i386 && return 0
  fi
  major=$(qemu_major)
  if [ "${major:-0}" -lt 8 ]; then
    echo "This machine cannot run 32-bit Linux programs: installing QEMU's user-mode emulation for Wine."
    [ -f "$backports_list" ] ||
      sed -n '0,/^Signed-By/{s/^Suites: .*/Suites: bookworm-backports/;/^#/d;p}' \
        /etc/apt/sources.list.d/debian.sources | "${sudo_cmd[@]}" tee "$backports_list" >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq >/dev/null 2>&1 || true
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
      -t bookworm-backports qemu-user-static >/dev/null
  fi
  [ -e "$binfmt/register" ] || "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt"
  # Registered afresh: with F the kernel holds the interpreter it opened at registration, which may be
  # an older QEMU than the one installed now.
  [ ! -e "$binfmt/qemu-i386" ] || echo -1 | "${sudo_cmd[@]}" tee "$binfmt/qemu-i386" >/dev/null
  # F: the kernel opens the interpreter now, so that it serves in any mount namespace.
  printf ':qemu-i386:M::%s:%s:%s:F\n' "$i386_magic" "$i386_mask" "$qemu" |
    "${sudo_cmd[@]}" tee "$binfmt/register" >/dev/null
  runs_i386 || { echo "32-bit programs still do not run: Wine cannot start the installer." >&2; exit 1; }
}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -eq 0 ] && [ $need_i386 -eq 0 ] && [ $need_src -eq 0 ]; then
  ensure_i386_runs
  exit 0
fi

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
ensure_i386_runs
echo "Prerequisites installed."
