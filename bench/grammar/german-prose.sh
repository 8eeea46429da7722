#!/bin/sh
# Writes edited German prose that Debian ships into one text file, for the grammar benchmark:
# the German manual pages (rendered without hyphenation, paragraphs on long lines) and GnuPG's
# German help texts.
#   german-prose.sh OUTPUT-FILE
set -eu
out=${1:?usage: german-prose.sh OUTPUT-FILE}
: > "$out"
for page in /usr/share/man/de/man*/*.gz; do
    [ -f "$page" ] || continue
    zcat "$page" | preconv -e utf-8 2>/dev/null |
        groff -mandoc -Tutf8 -rHY=0 -rLL=250n -P -cbou 2>/dev/null >> "$out" || true
    printf '\n' >> "$out"
done
if [ -f /usr/share/gnupg/help.de.txt ]; then cat /usr/share/gnupg/help.de.txt >> "$out"; fi
