#!/usr/bin/env bash
# Writes the service benchmarks' request bodies into DIR: 1KB.body and 20KB.body ("spell" with
# about 1 KB and 20 KB of text, a few misspellings per 1 KB), sc-1KB.body ("sc" with the 1 KB
# text's words, known words only) and sc-20KB.body ("sc" with the 20 KB text's words).
# Usage: bench/service/make_bodies.sh DIR
set -euo pipefail
dir=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
paragraph=$(cat "$top/bench/service/paragraph-1KB.txt")
large=""
for _ in $(seq 1 20); do large+=$paragraph; done
encode() { python3 -c 'import sys,urllib.parse;print(urllib.parse.quote(sys.stdin.read()),end="")'; }
printf 'cmd=spell&slang=en_US&text=%s' "$(printf '%s' "$paragraph" | encode)" >"$dir/1KB.body"
printf 'cmd=spell&slang=en_US&text=%s' "$(printf '%s' "$large" | encode)" >"$dir/20KB.body"
# Check-as-you-type requests: the words of the texts, comma-separated; the 1 KB one known words only.
known=$(printf '%s' "$paragraph" | sed -e 's/comittee/committee/; s/recieved/received/; s/ teh / the /; s/excelent/excellent/; s/thier/their/' -e 's/[^A-Za-z]\+/,/g; s/^,//; s/,$//')
words20=$(printf '%s' "$large" | sed -e 's/[^A-Za-z]\+/,/g; s/^,//; s/,$//')
printf 'cmd=sc&v=2.1&slang=en_US&words=%s' "$known" >"$dir/sc-1KB.body"
printf 'cmd=sc&v=2.1&slang=en_US&words=%s' "$words20" >"$dir/sc-20KB.body"
