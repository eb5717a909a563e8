#!/usr/bin/env bash
# Guards the layers that src/CMakeLists.txt states. In src/, the plain C++ core of a subsystem
# sits at its folder's root; Qt is only in the ui/ folders (windows) and the qt/ and http/
# adapter folders, TagLib only in the taglib/ folders. This fails when
#   - a file outside ui/, qt/ and http/ includes a Qt header, or
#   - a core file includes a header from a ui/, qt/, http/ or taglib/ folder.
# The include roots of the core libraries already stop most upward includes at build time; they
# cannot tell a folder from its subfolders, which is what this checks.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q'
adapter_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+(/[a-z_]+)?/(ui|qt|http|taglib)/'
faults=0

while IFS= read -r file; do
    case "$file" in
    */ui/* | */qt/* | */http/*) continue ;;
    esac
    if grep -nE "$qt_include" "$file" | sed "s|^|$file:|" | grep .; then
        faults=1
    fi
    case "$file" in
    */taglib/*) continue ;;
    esac
    if grep -nE "$adapter_include" "$file" | sed "s|^|$file:|" | grep .; then
        faults=1
    fi
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

if ((faults)); then
    echo "check-layers: the files above include across the layers (see src/README.md)" >&2
    exit 1
fi
echo "check-layers: every core file is free of Qt and of the adapters above it"
