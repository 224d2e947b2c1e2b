#!/usr/bin/env bash
# The folders of src/ are layers: a file may include headers of its own folder and of the
# folders below it, never of a folder above. The order, from the top:
#   app  display  power  battery  ui  controls  settings  i18n  framework  platform
# Files under <folder>/core/ are the portable part of their folder: they include no Windows
# header and nothing outside the portable parts (`core/`) of their own or lower folders.
# Prints every include that runs against the layers and fails when there is one.
#   check-layers.sh SRC_DIR
set -uo pipefail
src=${1:?usage: check-layers.sh SRC_DIR}
layers=(platform framework i18n settings controls ui battery power display app)

declare -A rank=()
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
bad=0
checked=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  folder=${rel%%/*}
  if [ -z "${rank[$folder]+x}" ]; then
    echo "$rel: folder '$folder' is not a known layer (add it to tests/layers/check-layers.sh)"
    bad=1; continue
  fi
  in_core=0; [[ $rel == */core/* ]] && in_core=1
  lineno=0
  while IFS= read -r line; do
    lineno=$((lineno + 1))
    [[ $line =~ $include_re ]] || continue
    kind=${BASH_REMATCH[1]}; target=${BASH_REMATCH[2]}
    checked=$((checked + 1))
    if [ "$kind" = "<" ]; then
      if [ $in_core -eq 1 ] && [[ $target =~ ^(windows|winbase|winuser|commctrl|powrprof|setupapi|shellapi|winreg|batclass|ntstatus|htmlhelp)\.h$ ]]; then
        echo "$rel:$lineno: a portable file includes <$target>"; bad=1
      fi
      continue
    fi
    to=${target%%/*}
    [ "$to" = "$target" ] && continue  # resource.h and other files beside the sources' roots
    if [ -z "${rank[$to]+x}" ]; then continue; fi
    if [ "${rank[$to]}" -gt "${rank[$folder]}" ]; then
      echo "$rel:$lineno: includes \"$target\": $folder may not use $to, which stands above it"; bad=1
    elif [ $in_core -eq 1 ] && [[ $target != */core/* ]]; then
      echo "$rel:$lineno: a portable file includes \"$target\", which is not portable"; bad=1
    fi
  done <"$file"
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ $checked -eq 0 ]; then echo "no includes found under $src"; exit 1; fi
if [ $bad -ne 0 ]; then echo "FAILED: includes run against the layers"; exit 1; fi
echo "layers: $checked includes checked, none runs against the layers"
