#!/bin/sh
# Writes edited German prose that Debian ships into one text file, for the grammar benchmark:
# the German manual pages (tables rendered, no hyphenation, paragraphs on long lines; pages that
# are copies of one another once) and GnuPG's German help texts.
#   german-prose.sh OUTPUT-FILE
set -eu
out=${1:?usage: german-prose.sh OUTPUT-FILE}
: > "$out"
seen=""
for page in /usr/share/man/de/man*/*.gz; do
    [ -f "$page" ] || continue
    sum=$(zcat "$page" | md5sum | cut -c1-32)
    case "$seen" in *"$sum"*) continue ;; esac
    seen="$seen $sum"
    zcat "$page" | preconv -e utf-8 2>/dev/null |
        groff -t -mandoc -Tutf8 -rHY=0 -rLL=250n -P -cbou 2>/dev/null >> "$out" || true
    printf '\n' >> "$out"
done
if [ -f /usr/share/gnupg/help.de.txt ]; then cat /usr/share/gnupg/help.de.txt >> "$out"; fi
