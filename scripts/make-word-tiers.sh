#!/usr/bin/env bash
# Writes the English word-frequency tiers that the engine server ranks suggestions with, from
# the word lists of Debian's scowl package: one "word<TAB>tier" line per word, where the tier is
# the smallest list size (10 = the most common words) that holds the word. Lists up to size 70
# are used: the larger ones hold rare words, ranked like words in no list at all.
#   make-word-tiers.sh SCOWL_DIR OUTPUT
# Without SCOWL_DIR the output is an empty file (suggestions are then ranked without it).
set -euo pipefail
scowl=$1
out=$2
tmp="$out.tmp"
: >"$tmp"
if [ -d "$scowl" ]; then
  for f in "$scowl"/{english,american,british}-{words,upper,proper-names,contractions,abbreviations}.[1-7][0-9]; do
    [ -f "$f" ] || continue
    tier=${f##*.}
    awk -v t="$tier" 'length($0) > 0 && length($0) <= 64 { print $0 "\t" t }' "$f" >>"$tmp"
  done
fi
# The smallest tier of each word.
LC_ALL=C sort -t "$(printf '\t')" -k1,1 -k2,2n "$tmp" | awk -F '\t' '$1 != last { print; last = $1 }' >"$out"
rm -f "$tmp"
