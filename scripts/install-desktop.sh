#!/usr/bin/env bash
# Registers the program's file types and desktop entry for the current user.
set -euo pipefail
exe=$1
here="$(cd "$(dirname "$0")/.." && pwd)"
data=${XDG_DATA_HOME:-$HOME/.local/share}
mkdir -p "$data/mime/packages" "$data/applications"
cp "$here/resources/veltrix-mime.xml" "$data/mime/packages/veltrix.xml"
sed "s|@EXEC@|$exe|; s|@WORKDIR@|$here/run|" "$here/resources/veltrix.desktop.in" > "$data/applications/veltrix.desktop"
command -v update-mime-database >/dev/null && update-mime-database "$data/mime" >/dev/null 2>&1 || true
command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" >/dev/null 2>&1 || true
