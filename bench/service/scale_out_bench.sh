#!/usr/bin/env bash
# Scale-out benchmark: requests/s of the layout of docs/scale-out.md on loopback, nginx with an
# upstream of two orthd.cgi FastCGI pools beside the same nginx setup with one pool, in the same
# run (alternated), both in front of the same two engine servers on one scratch PostgreSQL
# database. Requests: a 1 KB "spell" with a personal dictionary, and adding a word to it.
# Prints requests/s per layout and the ratio two pools : one pool. On a 2-core machine expect a
# ratio near 1: the point is that the layout works under load.
# Usage: bench/service/scale_out_bench.sh [SECONDS_PER_RUN]   (needs wrk, nginx, postgresql)
#   BUILD_DIR=build (default) is an existing build.
set -euo pipefail
seconds=${1:-5}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build}
pgbin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
work=$(mktemp -d /tmp/verbarium-scale.XXXXXX)
tree=$work/tree
base=$((20000 + RANDOM % 10000))
engine1=$base engine2=$((base + 1)) pool1=$((base + 2)) pool2=$((base + 3))
two_port=$((base + 4)) one_port=$((base + 5)) pg_port=$((base + 6))
pids=()
as_owner=()
[ "$(id -u)" -eq 0 ] && as_owner=(runuser -u nobody --)
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  "${as_owner[@]}" "$pgbin/pg_ctl" -D "$work/pg" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

[ "$(id -u)" -eq 0 ] && chown nobody "$work"
"${as_owner[@]}" "$pgbin/initdb" -D "$work/pg" -U postgres -A trust -E UTF8 --no-locale >/dev/null
"${as_owner[@]}" "$pgbin/pg_ctl" -D "$work/pg" -l "$work/pg.log" -w \
  -o "-p $pg_port -k $work -c listen_addresses=127.0.0.1" start >/dev/null
db="postgresql://postgres@127.0.0.1:$pg_port/postgres"

cmake --install "$build" --prefix "$tree" >/dev/null
"$top/scripts/prepare-tree.sh" "$tree" "$work/two" 127.0.0.1 "$two_port" "$engine1,$engine2" "$pool1,$pool2"
"$top/scripts/prepare-tree.sh" "$tree" "$work/one" 127.0.0.1 "$one_port" "$engine1,$engine2" "$pool1"
for port in $engine1 $engine2; do
  "$tree/bin/appserver" --listen "127.0.0.1:$port" --db "$db" --preload \
    --index-dir "$build/suggestion-index" 2>"$work/appserver-$port.log" &
  pids+=($!)
done
for port in $engine1 $engine2; do
  for _ in $(seq 1 600); do grep -q "ready on" "$work/appserver-$port.log" && break; sleep 0.1; done
done
for port in $pool1 $pool2; do
  "$tree/cgi-bin/orthd.cgi" --fastcgi "127.0.0.1:$port" --workers 2 2>"$work/pool-$port.log" &
  pids+=($!)
done
# nginx counts a refused connection as a failed pool and skips it for 10 s: the pools listen
# first (a sanitizer build takes seconds to start).
for port in $pool1 $pool2; do
  for _ in $(seq 1 600); do grep -q "FastCGI on" "$work/pool-$port.log" && break; sleep 0.1; done
done
for layout in two one; do
  nginx -e "$work/$layout/nginx.error.log" -c "$work/$layout/nginx.conf" & pids+=($!)
done
for port in $two_port $one_port; do
  for _ in $(seq 1 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
done

encode() { python3 -c 'import sys,urllib.parse;print(urllib.parse.quote(sys.stdin.read()),end="")'; }
printf 'cmd=spell&slang=en_US&text=%s' "$(encode <"$top/bench/service/paragraph-1KB.txt")" >"$work/spell.body"
printf 'cmd=dictionary&format=json&action=addword&word=zqjbench' >"$work/add.body"
curl -s -X POST -H 'Cookie: udn=Bench' --data-binary @"$work/add.body" \
  "http://127.0.0.1:$two_port/cgi-bin/orthd.cgi" | grep -q addword || { echo "the layout does not answer"; exit 1; }

rps() {  # clients, body, port
  BODY_FILE=$2 wrk -t2 -c"$1" -d"${seconds}s" -H 'Cookie: udn=Bench' -s "$top/bench/service/post.lua" \
    "http://127.0.0.1:$3/cgi-bin/orthd.cgi" | awk '/Non-2xx|Socket errors/ {e="E"} /Requests\/sec/ {r=$2} END {printf "%.0f%s", r, e}'
}
echo "requests/s (E: wrk saw errors or non-2xx answers); ratio: two pools to one"
printf '%-12s %8s %10s %10s %7s\n' request clients "one pool" "two pools" ratio
for row in "spell 4" "spell 16" "add 4" "add 16"; do
  set -- $row
  one=$(rps "$2" "$work/$1.body" "$one_port")
  two=$(rps "$2" "$work/$1.body" "$two_port")
  printf '%-12s %8s %10s %10s %7s\n' "$1" "$2" "$one" "$two" \
    "$(awk -v a="${two%E}" -v b="${one%E}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
done
