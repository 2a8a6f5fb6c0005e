#!/usr/bin/env bash
# Fails when a source folder includes a folder above it: the engine's folders
# form a one-way graph, platform/ at the bottom and app/ at the top.
set -euo pipefail
cd "$(dirname "$0")/.."
order=(platform base images layout tables forms parser viewer app)
allowed_skinform=(platform skinform)
status=0
check() {
  local folder=$1; shift
  local allowed=" $* "
  while IFS= read -r line; do
    local target=${line#*#include \"}
    target=${target%%/*}
    if [[ "$allowed" != *" $target "* ]]; then
      echo "layering: $line" >&2
      status=1
    fi
  done < <(grep -rHn '#include "[a-z]*/' "$folder" --include='*.h' --include='*.cpp' || true)
}
for i in "${!order[@]}"; do
  check "${order[$i]}" "${order[@]:0:$((i + 1))}" $([ "${order[$i]}" = app ] && echo skinform)
done
check skinform "${allowed_skinform[@]}"
exit $status
