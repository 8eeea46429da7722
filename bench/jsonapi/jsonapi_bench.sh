#!/usr/bin/env bash
# JSON API benchmark: "/v2/check" of a 1 KB English text beside the legacy "check_spelling"
# (format=json) of the same text, both POSTed to orthd.cgi as a FastCGI server (2 workers)
# behind nginx, at 1, 2 and 4 clients, alternated cell by cell; prints requests/s of each and
# the ratio /v2/check : check_spelling, and the same for /v2/check with
# "disabledCategories=GRAMMAR" (no grammar work at all: the gap left is the spelling answer's own),
# and for both with a text of its own in every request ("cold": the engine's grammar result cache
# keeps whole texts, so the same text sent again is answered from it).
# /v2/check does more (grammar, context, sentence) in one answer; the aim is the same requests/s
# within 20%.
# Usage: bench/jsonapi/jsonapi_bench.sh [SECONDS_PER_RUN]   (needs wrk and nginx)
#   BUILD_DIR=build reuses an existing build (default: a Release build in build-bench).
set -euo pipefail
seconds=${1:-5}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-bench}
work=$(mktemp -d /tmp/verbarium-jsonbench.XXXXXX)
tree=$work/tree
base=$((20000 + RANDOM % 20000))
nginx_port=$base engine_port=$((base + 1)) workers_port=$((base + 2))
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${BUILD_DIR:-}" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" --target orthd appserver >/dev/null
fi
cmake --install "$build" --prefix "$tree" >/dev/null
"$top/scripts/prepare-tree.sh" "$tree" "$work/nginx" 127.0.0.1 "$nginx_port" "$engine_port" "$workers_port"
"$tree/bin/appserver" --listen "127.0.0.1:$engine_port" --db "$work/d.db" --preload \
  --index-dir "$build/suggestion-index" 2>"$work/appserver.log" &
pids+=($!)
for _ in $(seq 1 300); do grep -q "ready on" "$work/appserver.log" && break; sleep 0.1; done
"$tree/cgi-bin/orthd.cgi" --fastcgi "127.0.0.1:$workers_port" --workers 2 2>"$work/workers.log" &
pids+=($!)
nginx -e "$work/nginx/nginx.error.log" -c "$work/nginx/nginx.conf" & pids+=($!)
sleep 1

text=$(cat "$top/bench/service/paragraph-1KB.txt")  # the service benchmark's 1 KB text
encoded=$(printf '%s' "$text" | python3 -c 'import sys,urllib.parse;print(urllib.parse.quote(sys.stdin.read()),end="")')
printf 'language=en-US&text=%s' "$encoded" >"$work/v2.body"
printf 'language=en-US&disabledCategories=GRAMMAR&text=%s' "$encoded" >"$work/v2spell.body"
printf 'cmd=check_spelling&version=1.0&slang=en_US&format=json&out_type=positions&text=%s' "$encoded" >"$work/legacy.body"
url="http://127.0.0.1:$nginx_port"
for check in "v2 $url/v2/check" "v2spell $url/v2/check" "legacy $url/cgi-bin/orthd.cgi"; do
  set -- $check
  status=$(curl -s -o "$work/$1.answer" -w '%{http_code}' --data-binary @"$work/$1.body" "$2")
  echo "$1: request $(wc -c <"$work/$1.body") bytes, answer $(wc -c <"$work/$1.answer") bytes, status $status"
done

rps() {  # concurrency, body file, url [DISTINCT]
  DISTINCT=${4:-0} BODY_FILE=$2 wrk -t1 -c"$1" -d"${seconds}s" -s "$top/bench/service/post.lua" "$3" |
    awk '/Requests\/sec/ {printf "%.0f", $2} /Non-2xx|Socket errors/ {printf "E"}'
}
echo
ratio() { awk -v a="${1%E}" -v b="${2%E}" 'BEGIN { if (b > 0) printf "%.2f", a / b }'; }
printf '%-8s | %-16s %-11s %-15s %-11s %-12s | %-6s %-11s %s\n' clients "/v2/check req/s" \
  "no GRAMMAR" "check_spelling" "/v2 cold" "legacy cold" "ratio" "no GRAMMAR" "cold"
for c in 1 2 4; do
  v2=$(rps "$c" "$work/v2.body" "$url/v2/check")
  v2spell=$(rps "$c" "$work/v2spell.body" "$url/v2/check")
  legacy=$(rps "$c" "$work/legacy.body" "$url/cgi-bin/orthd.cgi")
  v2cold=$(rps "$c" "$work/v2.body" "$url/v2/check" 1)
  legacycold=$(rps "$c" "$work/legacy.body" "$url/cgi-bin/orthd.cgi" 1)
  printf '%-8s | %-16s %-11s %-15s %-11s %-12s | %-6s %-11s %s\n' "$c" "$v2" "$v2spell" \
    "$legacy" "$v2cold" "$legacycold" "$(ratio "$v2" "$legacy")" "$(ratio "$v2spell" "$legacy")" \
    "$(ratio "$v2cold" "$legacycold")"
done
