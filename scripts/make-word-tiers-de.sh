#!/usr/bin/env bash
# Writes the German word tiers that the engine server ranks suggestions with, from Debian's
# wngerman word list (/usr/share/dict/ngerman): one "word<TAB>50" line per word. The list holds
# every inflected form but no frequencies, so all its words share one middle tier: a word that
# is in it ranks above one the dictionary accepts only by its affix rules (a rare compound or a
# name), and the index gets the inflected forms that the dictionaries list only as stems.
#   make-word-tiers-de.sh WORD_LIST OUTPUT
# Without WORD_LIST the output is an empty file (suggestions are then ranked without it).
set -euo pipefail
list=$1
out=$2
if [ -f "$list" ]; then
  awk 'length($0) > 0 && length($0) <= 64 && !seen[$0]++ { print $0 "\t50" }' "$list" >"$out.tmp"
else
  : >"$out.tmp"
fi
mv "$out.tmp" "$out"
