#!/usr/bin/env bash
# Instructions per request of orthd.cgi's FastCGI worker (callgrind, exact counts), for "sc" with
# about 1 KB of known words, "sc" of about 20 KB and "spell" of about 20 KB, through nginx.
# Each program and request is run twice under callgrind, with FEW and with MANY requests after
# one warm-up; the difference divided by MANY - FEW is the cost of one warm request (start-up,
# warm-up and shut-down cancel out).
# Usage: bench/service/callgrind_requests.sh PROGRAM [PROGRAM...]   (needs valgrind, nginx, curl)
#   BUILD_DIR=build: the build whose runtime tree and engine server are used (default build);
#   FEW=2 MANY=12: the request counts of the two runs.
# The first program is the baseline: the other programs' lines give their ratio to it.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PROGRAM [PROGRAM...]" >&2; exit 2; }
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build}
few=${FEW:-2} many=${MANY:-12}
work=$(mktemp -d /tmp/verbarium-callgrind.XXXXXX)
tree=$work/tree
base=$((20000 + RANDOM % 20000))
engine_port=$base nginx_port=$((base + 1)) workers_port=$((base + 2))
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$tree" >/dev/null
"$top/scripts/prepare-tree.sh" "$tree" "$work/nginx" 127.0.0.1 "$nginx_port" "$engine_port" "$workers_port"
"$tree/bin/appserver" --listen "127.0.0.1:$engine_port" --db "$work/d.db" --preload \
  --index-dir "$build/suggestion-index" 2>"$work/appserver.log" &
pids+=($!)
for _ in $(seq 1 300); do grep -q "ready on" "$work/appserver.log" && break; sleep 0.1; done
nginx -e "$work/nginx/nginx.error.log" -c "$work/nginx/nginx.conf" & pids+=($!)
"$top/bench/service/make_bodies.sh" "$work"
url="http://127.0.0.1:$nginx_port/cgi-bin/orthd.cgi"

send() {  # body, count
  for _ in $(seq 1 "$2"); do
    curl -s -o /dev/null --max-time 120 -X POST --data-binary @"$1" "$url"
  done
}

# Instructions of one worker serving `count` requests after a warm-up (start-up included).
measure() {  # program, body, count
  local out=$work/cg
  rm -rf "$out" && mkdir "$out"
  cp "$1" "$tree/cgi-bin/measured.cgi"
  valgrind --tool=callgrind --callgrind-out-file="$out/cg.%p" \
    "$tree/cgi-bin/measured.cgi" --fastcgi "127.0.0.1:$workers_port" --workers 1 2>"$work/valgrind.log" &
  local supervisor=$!
  for _ in $(seq 1 600); do
    curl -sf -o /dev/null --max-time 120 "$url?cmd=get_opt" && break
    sleep 0.5
  done
  send "$2" 1
  send "$2" "$3"
  kill -TERM "$supervisor"
  wait "$supervisor" 2>/dev/null || true
  # The worker's file is the one that is not the supervisor's.
  local file
  file=$(ls "$out"/cg.* | grep -v "cg.$supervisor\$" | head -1)
  awk '/^(summary|totals):/ {print $2; exit}' "$file"
}

printf '%-10s %-14s %s\n' request "instructions" program
for body in ${BODIES:-sc-1KB sc-20KB 20KB}; do
  name=$body
  [ "$body" = 20KB ] && name=spell-20KB
  first=""
  for program in "$@"; do
    low=$(measure "$program" "$work/$body.body" "$few")
    high=$(measure "$program" "$work/$body.body" "$many")
    per=$(( (high - low) / (many - few) ))
    ratio=""
    if [ -z "$first" ]; then first=$per; else
      ratio=$(awk -v a="$per" -v b="$first" 'BEGIN{printf "(%.2fx fewer than the first)", b/a}')
    fi
    printf '%-10s %-14s %s %s\n' "$name" "$per" "$program" "$ratio"
  done
done
