#!/usr/bin/env bash
# The layering check on small trees: each case writes a few sources and expects the check to
# pass (0) or to fail (1).
set -uo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../common/RemoveWhenEnded.sh"
remove_when_ended "$work"
failures=0

# case NAME EXPECTED FILE:INCLUDE...
case_() {
  local name=$1 expected=$2 root="$work/$1"
  shift 2
  mkdir -p "$root"
  for spec in "$@"; do
    local file=${spec%%:*} line=${spec#*:}
    mkdir -p "$root/$(dirname "$file")"
    printf '%s\n' "$line" >>"$root/$file"
  done
  bash "$check" "$root" >"$root.out" 2>&1
  local got=$?
  if [ "$got" != "$expected" ]; then
    echo "FAIL $name: exit $got, expected $expected"
    sed 's/^/    /' "$root.out"
    failures=$((failures + 1))
  fi
}

ok='#include "platform/Wnd.h"'
case_ clean 0 "views/a.cpp:$ok" "model/core/a.h:#include <vector>" \
  "parser/a.h:#include \"model/core/ModelSettings.h\"" "platform/base/a.h:#include \"platform/base/Event.h\""
case_ commented-out 0 "views/a.cpp:// #include \"app/MainFrm.h\""
case_ view-includes-shell 1 "views/graph/a.cpp:#include \"app/ChildFrm.h\""
case_ view-includes-shell-spaced 1 "views/a.h:  #  include \"app/ChildFrm.h\""
case_ core-includes-qt 1 "model/core/a.h:#include <QString>"
case_ parser-includes-qt-module 1 "parser/a.cpp:#include <QtCore/QVariant>"
case_ base-includes-qt-header 1 "platform/base/a.h:#include <qglobal.h>"
case_ core-includes-qt-layer 1 "model/core/a.cpp:#include \"platform/Wnd.h\""
case_ base-includes-platform 1 "platform/base/a.h:#include \"platform/Dc.h\""
case_ entry-core-includes-qt 1 "dataentry/core/a.cpp:#include <QLineEdit>"
case_ entry-core-includes-window 1 "dataentry/core/a.h:#include \"dataentry/DataEntry.h\""
case_ entry-core-includes-core 0 "dataentry/core/a.h:#include \"model/core/ModelCore.h\""
case_ phase-includes-qt 1 "model/phase/a.h:#include <QImage>"
case_ files-includes-model-doc 1 "model/files/a.cpp:#include \"model/DynSys.h\""
case_ phase-includes-core 0 "model/phase/a.cpp:#include \"model/core/KindRates.h\""
case_ model-includes-views 1 "model/a.cpp:#include \"views/base/2DView.h\""
case_ model-includes-dialogs 1 "model/a.h:#include \"dialogs/TimePage.h\""
case_ platform-includes-model 1 "platform/a.cpp:#include \"model/DynSys.h\""
case_ platform-includes-views 1 "platform/a.h:#include \"views/base/2DView.h\""
case_ one-way-entry-to-model 0 "dataentry/a.cpp:#include \"model/DynSys.h\""
case_ one-way-model-to-entry 0 "model/a.cpp:#include \"dataentry/DataEntry.h\""
case_ both-ways 1 "dataentry/a.cpp:#include \"model/DynSys.h\"" \
  "model/a.cpp:#include \"dataentry/DataEntry.h\""
case_ rows-include-qt 1 "views/rows/a.h:#include <QPainter>"
case_ rows-include-drawing 1 "views/rows/a.cpp:#include \"platform/Dc.h\""
case_ rows-include-base 1 "views/rows/a.h:#include \"views/base/2DView.h\""
case_ rows-include-qt-free 0 "views/rows/a.h:#include \"platform/Types.h\"" \
  "views/rows/a.cpp:#include \"platform/Ids.h\"" "views/rows/b.h:#include \"platform/base/TextNumbers.h\"" \
  "views/rows/b.cpp:#include \"views/rows/a.h\"" "views/rows/c.cpp:#include \"model/core/LimitBlocks.h\""

[ "$failures" = 0 ] && echo "layering check: all cases pass"
exit $((failures > 0))
