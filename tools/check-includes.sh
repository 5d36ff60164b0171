#!/usr/bin/env bash
# Checks the include graph of the library's folders. They are layered, lowest first:
#
#   platform  ->  io  ->  documents  ->  fileops, edit, search, windows  ->  app
#
# A file may include files of its own folder, of a folder on its own level, or of a lower one;
# an include that points up fails the check, and so does any cycle of includes whose files lie in
# more than one folder. A header and its source file count as one (Form1.h with Form1.cpp), so
# that two classes that use each other form a cycle. Includes are written from the repository's root ("documents/Form1.h"); a
# bare name ("Form1.h") means a file of the including file's own folder.
# Usage: tools/check-includes.sh [root]      (prints what it found; exit status 1 on a fault)
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

levels="platform:0 io:1 documents:2 fileops:3 edit:3 search:3 windows:3 app:4"
folders=""
for entry in $levels; do folders+=" ${entry%%:*}"; done

# One line per include of a library file: "including-file included-file".
edges=$(
  for folder in $folders; do
    [ -d "$folder" ] || continue
    find "$folder" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort
  done | while read -r file; do
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" | while read -r target; do
      case $target in
        */*) ;;
        *) target="$(dirname "$file")/$target" ;;
      esac
      if [ -f "$target" ]; then echo "$file $target"; fi
    done
  done
)

echo "$edges" | awk -v levels="$levels" '
function folder(path) { sub(/\/.*/, "", path); return path }
BEGIN {
    n = split(levels, entries, " ")
    for (i = 1; i <= n; i++) { split(entries[i], kv, ":"); level[kv[1]] = kv[2] }
}
NF == 2 {
    fromFile = $1; toFile = $2
    from = $1; to = $2
    sub(/\.(h|cpp)$/, "", from); sub(/\.(h|cpp)$/, "", to)
    if (from == to) next
    if (!(from in seen)) { seen[from] = 1; nodes[++count] = from }
    if (!(to in seen)) { seen[to] = 1; nodes[++count] = to }
    edgeCount++
    out[from] = out[from] " " to
    ff = folder(from); ft = folder(to)
    if (level[ft] > level[ff]) {
        printf "include points up: %s includes %s (%s lies below %s)\n", fromFile, toFile, ff, ft
        faults++
    }
}
END {
    # What each file reaches through its includes.
    for (i = 1; i <= count; i++) {
        s = nodes[i]
        delete visited
        top = 0; stack[++top] = s
        while (top > 0) {
            v = stack[top--]
            m = split(out[v], next_, " ")
            for (k = 1; k <= m; k++) {
                w = next_[k]
                if (!(w in visited)) { visited[w] = 1; reach[s, w] = 1; stack[++top] = w }
            }
        }
    }
    # Files that reach each other form a cycle; one that spans folders is a fault.
    for (i = 1; i <= count; i++) {
        a = nodes[i]
        if (a in grouped || !((a, a) in reach)) continue
        members = a; spans = 0
        for (j = i + 1; j <= count; j++) {
            b = nodes[j]
            if (((a, b) in reach) && ((b, a) in reach)) {
                grouped[b] = 1
                members = members " " b
                if (folder(b) != folder(a)) spans = 1
            }
        }
        if (spans) { printf "include cycle across folders: %s\n", members; faults++ }
    }
    if (faults) { printf "check-includes: %d fault(s) in %d includes among %d headers and sources\n", faults, edgeCount, count; exit 1 }
    printf "check-includes: %d includes among %d headers and sources, none pointing up, no cycle across folders\n", edgeCount, count
}'
