#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages.
# Does nothing when everything is present. Never adds a foreign architecture.
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
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_cmd javac || need+=(default-jdk-headless)
# Pictures of the dialogs for the documentation (scripts/screenshots.sh).
have_cmd import || need+=(imagemagick)
have_cmd jar || need+=(default-jdk-headless)
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
regional_wanted="de_CH es_MX th_TH"
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

if [ ${#need[@]} -eq 0 ] && have_locales && have_regional; then
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
have_regional || make_regional || exit 1
exit 0
