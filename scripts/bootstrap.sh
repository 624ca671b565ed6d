#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages.
# Does nothing when everything is present. Adds the i386 architecture only for
# Wine's 32-bit half, and removes it again when its packages cannot be had.
set -u
need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd cmake || need+=(cmake)
have_cmd make || need+=(make)
have_cmd g++ || need+=(g++)
have_cmd clang++ || need+=(clang)
have_pkg libclang-rt-14-dev || have_pkg libclang-rt-dev || need+=(libclang-rt-dev)
have_cmd x86_64-w64-mingw32-g++ || need+=(g++-mingw-w64-x86-64)
have_cmd i686-w64-mingw32-g++ || need+=(g++-mingw-w64-i686)
have_cmd x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
have_cmd i686-w64-mingw32-windres || need+=(binutils-mingw-w64-i686)
have_cmd wine || need+=(wine)
have_cmd wine64 || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
have_cmd Xvfb || need+=(xvfb)
have_cmd xvfb-run || need+=(xvfb)
have_cmd xdpyinfo || need+=(x11-utils)
have_cmd python3 || need+=(python3)
# The layout check of the test command (Debian 12's is version 14).
have_cmd clang-format || need+=(clang-format)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_cmd javac || need+=(default-jdk-headless)
# Pictures of the dialogs for the documentation (scripts/screenshots.sh).
have_cmd import || need+=(imagemagick)
have_pkg fonts-ipafont-gothic || need+=(fonts-ipafont-gothic)  # the Japanese one
have_cmd jar || need+=(default-jdk-headless)
# Signing a packed launcher in the tests (a throw-away certificate, osslsigncode).
have_cmd openssl || need+=(openssl)
have_cmd osslsigncode || need+=(osslsigncode)
# An independent PE reader checks nvpack's branding (Debian's own python3 has it).
have_pkg python3-pefile || need+=(python3-pefile)
# zlib: the carried-JVM unpacker (MinGW) and the tool that packs a Java runtime (host).
[ -f /usr/x86_64-w64-mingw32/lib/libz.a ] && [ -f /usr/i686-w64-mingw32/lib/libz.a ] || need+=(libz-mingw-w64-dev)
[ -f /usr/include/zlib.h ] || need+=(zlib1g-dev)
# The German, Russian and Japanese locales make the language tests possible.
locales_wanted="de_DE ru_RU ja_JP en_US"
have_locales() {
  local l
  for l in $locales_wanted; do locale -a 2>/dev/null | grep -qi "^$l.utf8\$" || return 1; done
}
have_locales || have_cmd locale-gen || need+=(locales)
# Regional locales for the language-fallback tests, made into the build tree
# (LOCPATH) from the definitions that the locales package carries.
regional_dir=$(cd "$(dirname "$0")/.." && pwd)/build/locales
regional_wanted="de_CH es_MX th_TH en_GB"
have_regional() {
  local l
  for l in $regional_wanted; do [ -f "$regional_dir/$l.UTF-8/LC_CTYPE" ] || return 1; done
}
make_regional() {
  local l
  mkdir -p "$regional_dir"
  for l in $regional_wanted; do
    [ -f "$regional_dir/$l.UTF-8/LC_CTYPE" ] && continue
    localedef -i "$l" -f UTF-8 "$regional_dir/$l.UTF-8" >/dev/null 2>&1 ||
      [ -f "$regional_dir/$l.UTF-8/LC_CTYPE" ] || { echo "bootstrap: localedef failed for $l" >&2; return 1; }
  done
}
have_regional || [ -f /usr/share/i18n/locales/de_CH ] || need+=(locales)

# 32-bit Wine runs the stub that users ship; without it the tests skip those runs.
have_wine32() { have_pkg wine32:i386; }
# Wine's 32-bit half needs a kernel that runs 32-bit programs, which some do not
# (no IA-32 emulation). A 93-byte i386 program that only exits with 0 tells.
kernel_runs_i386() {
  local probe code
  mkdir -p "$regional_dir/.." || return 1
  probe="$regional_dir/../i386-probe"
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'\
'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00'\
'\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  code=$?
  rm -f "$probe"
  [ "$code" -eq 0 ]
}
# Settled: installed where the kernel can run it, absent where it cannot.
wine32_settled() {
  if kernel_runs_i386; then have_wine32; else ! have_wine32; fi
}

if [ ${#need[@]} -eq 0 ] && have_locales && have_regional && wine32_settled; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#need[@]} -gt 0 ]; then
  echo "bootstrap: installing ${need[*]}" >&2
  # An optional index that fails to refresh must not stop the install.
  apt-get update -q >/dev/null 2>&1 || true
  apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null || {
    echo "bootstrap: apt-get install failed for: ${need[*]}" >&2
    exit 1
  }
fi

if ! have_locales; then
  for l in "de_DE.UTF-8 UTF-8" "ja_JP.UTF-8 UTF-8" "ru_RU.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
    grep -qxF "$l" /etc/locale.gen 2>/dev/null || echo "$l" >> /etc/locale.gen
  done
  locale-gen >/dev/null 2>&1 || { echo "bootstrap: locale-gen failed" >&2; exit 1; }
fi

# Optional: a machine whose mirror has no i386 index still builds and runs every
# 64-bit test, so a failure here is reported and the architecture taken back.
if ! kernel_runs_i386; then
  echo "bootstrap: WARNING: this kernel runs no 32-bit programs; the 32-bit stub is built but not run" >&2
  # Installed, Wine's 32-bit loader would be tried first and fail for every program.
  if have_wine32; then
    timeout 600 apt-get -o DPkg::Lock::Timeout=300 remove -y -q wine32:i386 >/dev/null 2>&1 ||
      echo "bootstrap: could not remove wine32:i386" >&2
  fi
elif ! have_wine32; then
  added=
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 && added=1
  fi
  echo "bootstrap: installing wine32:i386" >&2
  log=$(mktemp)
  # Another apt run (an engineer's install) holds the lock for a while at most.
  if timeout 600 apt-get -o DPkg::Lock::Timeout=300 update -q >"$log" 2>&1 &&
     timeout 900 apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends wine32:i386 >>"$log" 2>&1; then
    rm -f "$log"
  else
    tail -5 "$log" >&2
    rm -f "$log"
    echo "bootstrap: WARNING: wine32:i386 could not be installed; the 32-bit stub will not be run" >&2
    if [ -n "$added" ]; then
      dpkg --remove-architecture i386 ||
        echo "bootstrap: could not remove the i386 architecture again" >&2
    fi
  fi
fi

have_regional || make_regional || exit 1
exit 0
