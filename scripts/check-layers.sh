#!/usr/bin/env bash
# check-layers.sh [ROOT]: checks which folders include which. Prints every include that breaks
# a rule and exits 1 when there is one.
#   views/ include nothing from app/;
#   views/rows includes no Qt, from platform/ only its Qt-free headers (Types.h, Ids.h, base/)
#   and from views/ only itself;
#   dataentry/ and model/ do not include each other both ways;
#   model/core, model/phase, model/files, parser/ and platform/base include no Qt and only each
#   other;
#   model/ includes nothing from views/ or dialogs/;
#   dataentry/core includes no Qt and nothing but those and itself;
#   platform/ includes nothing above it.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
failed=0

# includes DIR...: "file:line:<target" or "file:line:"target" for every #include of the sources
# under the folders.
includes() {
  local dirs=()
  for d in "$@"; do [ -d "$d" ] && dirs+=("$d"); done
  [ ${#dirs[@]} -gt 0 ] || return 0
  grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "${dirs[@]}" |
    sed -E 's/^([^:]*:[0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*([<"][^>"]*)[>"].*/\1:\2/' ||
    true
}

# matching ERE [EXCEPT_ERE]: the lines of stdin whose target matches ERE and not EXCEPT_ERE.
matching() {
  awk -F: -v re="$1" -v except="${2:-}" \
    '$3 ~ re && (except == "" || $3 !~ except) { print }'
}

report() { # rule, offending lines
  [ -n "$2" ] || return 0
  echo "layering: $1"
  sed -E 's/^/  /; s/:"([^:]*)$/: #include "\1"/; s/:<([^:]*)$/: #include <\1>/' <<<"$2"
  failed=1
}

qt='^[<"](Q[A-Za-z]|q[a-z]+\.h$)'
ours='^"[a-z_]+/'
report "views/ include nothing from app/" "$(includes views | matching '^"app/')"
report "views/rows includes no Qt" "$(includes views/rows | matching "$qt")"
report "views/rows includes from platform/ only its Qt-free headers" \
  "$(includes views/rows | matching '^"platform/' '^"platform/(Types\.h|Ids\.h|base/)')"
report "views/rows includes from views/ only itself" \
  "$(includes views/rows | matching '^"views/' '^"views/rows/')"

qtfree="model/core model/phase model/files parser platform/base"
report "$qtfree include no Qt" "$(includes $qtfree | matching "$qt")"
report "$qtfree include only each other" \
  "$(includes $qtfree | matching "$ours" '^"(model/core|model/phase|model/files|parser|platform/base)/')"
report "model/ includes nothing from views/ or dialogs/" \
  "$(includes model | matching '^"(views|dialogs)/')"

report "dataentry/core includes no Qt" "$(includes dataentry/core | matching "$qt")"
report "dataentry/core includes only the layers without Qt" \
  "$(includes dataentry/core | matching "$ours" '^"(model/core|parser|platform/base|dataentry/core)/')"

report "platform/ includes nothing above it" \
  "$(includes platform | matching "$ours" '^"platform/')"

into_model=$(includes dataentry | matching '^"model/')
into_entry=$(includes model | matching '^"dataentry/')
if [ -n "$into_model" ] && [ -n "$into_entry" ]; then
  report "dataentry/ and model/ do not include each other both ways" \
    "$into_model"$'\n'"$into_entry"
fi

[ "$failed" = 0 ] && echo "layering: ok"
exit "$failed"
