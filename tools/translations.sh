#!/usr/bin/env bash
# Brings the translations up to date with the sources: lupdate reads every text the program shows
# (tr(), QCoreApplication::translate(), QT_TRANSLATE_NOOP()) from the library folders and adds the
# new ones to translations/tesselpad_<lang>.ts as unfinished, keeping every finished translation and
# dropping texts the sources no longer have. Translate the unfinished entries with Qt Linguist
# (linguist translations/tesselpad_de.ts) or in a text editor (remove type="unfinished"); the
# normal build compiles the files into the program.
#
# Usage: tools/translations.sh          updates every translations/tesselpad_*.ts
#        tools/translations.sh fr       also starts translations/tesselpad_fr.ts (a new language)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
lupdate=
for candidate in "$(command -v lupdate6 || true)" /usr/lib/qt6/bin/lupdate "$(command -v lupdate || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then lupdate=$candidate; break; fi
done
if [ -z "$lupdate" ]; then
  echo "translations.sh: lupdate not found (Debian package qt6-l10n-tools)" >&2
  exit 1
fi
if [ $# -gt 0 ]; then
  case $1 in
    *[!a-zA-Z_]* | "") echo "translations.sh: a language is written like de or pt_BR" >&2; exit 2 ;;
  esac
  [ -e "translations/tesselpad_$1.ts" ] ||
    printf '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n<TS version="2.1" language="%s" sourcelanguage="en">\n</TS>\n' \
      "$1" >"translations/tesselpad_$1.ts"
fi
shopt -s nullglob
files=(translations/tesselpad_*.ts)
if [ ${#files[@]} -eq 0 ]; then
  echo "translations.sh: no translations/tesselpad_*.ts" >&2
  exit 1
fi
# No line numbers in the files: a change elsewhere in a source file leaves them alone.
out=$("$lupdate" -silent -locations none -no-obsolete -source-language en -I "$root" \
  platform io documents fileops edit search windows app -ts "${files[@]}" 2>&1) || { echo "$out" >&2; exit 1; }
# (Out-of-line member definitions of classes declared in another file puzzle lupdate; they hold no texts.)
grep -v 'Ignoring definition of undeclared qualified class' <<<"$out" >&2 || true
for f in "${files[@]}"; do
  echo "$f: $(grep -c '<translation type="unfinished"' "$f" || true) unfinished of $(grep -c '<message' "$f") texts"
done
