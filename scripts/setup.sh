#!/usr/bin/env bash
# setup.sh [--tests]: installs the Debian packages that building and running the program need,
# when missing; with --tests, also those the tests, sanitizer builds, fuzzers and benchmarks need.
set -euo pipefail
PKGS=(build-essential cmake ninja-build ccache qt6-base-dev libgl-dev fonts-liberation
      shared-mime-info desktop-file-utils libjpeg62-turbo-dev)
TEST_PKGS=(clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
           libmuparser-dev libturbojpeg0-dev locales xvfb xauth openbox x11-utils
           poppler-utils qt6-gtk-platformtheme)
tests=0
[ "${1:-}" = --tests ] && tests=1
[ $tests = 1 ] && PKGS+=("${TEST_PKGS[@]}")
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests read numbers under a decimal-comma locale.
if [ $tests = 1 ] && ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
