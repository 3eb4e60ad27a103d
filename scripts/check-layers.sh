#!/usr/bin/env bash
# Fails on any include under src/ that reaches up the layer order below
# (the order README.md states): a file may include headers from its own
# folder and from folders on lower layers, never from its own layer's other
# folders or from above. The build keeps the same order (each folder is a
# library that sees only the headers of what it links); this is the quick
# check, and it names the line.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

awk '
BEGIN {
    split("base|db filelist help|text|import|widgets cli|db/ui filelist/ui help/ui|import/ui|app", layers, "|")
    for (i in layers) {
        n = split(layers[i], folders, " ")
        for (j = 1; j <= n; j++) layer[folders[j]] = i
    }
    bad = 0
}
function folder_of(path,    parts, n) {
    n = split(path, parts, "/")
    return (n > 2 && parts[2] == "ui") ? parts[1] "/ui" : parts[1]
}
match($0, /^[ \t]*#[ \t]*include[ \t]*"[^"]*\/[^"]*"/) {
    included = $0
    sub(/^[^"]*"/, "", included)
    sub(/".*$/, "", included)
    from = FILENAME
    sub(/^.*\/src\//, "", from)
    source = folder_of(from)
    target = folder_of(included)
    if (!(source in layer)) {
        printf "%s:%d: folder %s is on no layer: add it to scripts/check-layers.sh\n", from, FNR, source
        bad = 1
    } else if (!(target in layer)) {
        printf "%s:%d: %s: folder %s is on no layer\n", from, FNR, $0, target
        bad = 1
    } else if (target != source && layer[target] >= layer[source]) {
        printf "%s:%d: %s: %s includes from %s, which is not below it\n", from, FNR, $0, source, target
        bad = 1
    }
}
END { exit bad }
' $(find "$root/src" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
