#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail
PKGS=(build-essential cmake ninja-build ccache clang libclang-rt-14-dev
      qt6-base-dev libgl-dev libturbojpeg0-dev libgtest-dev libgmock-dev googletest
      libbenchmark-dev libmuparser-dev locales fonts-liberation xvfb xauth openbox x11-utils
      shared-mime-info desktop-file-utils poppler-utils qt6-gtk-platformtheme)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests read numbers under a decimal-comma locale.
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
