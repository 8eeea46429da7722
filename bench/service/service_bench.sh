#!/usr/bin/env bash
# Service benchmark: "spell" requests through lighttpd + orthd.cgi + the engine server on
# loopback, at several concurrencies, against two floors measured in the same run:
#   - the same load on a static file of the same size served by the same lighttpd;
#   - one orthd.cgi process for a request that needs no engine server ("get_opt") against
#     /bin/true (the fork-exec floor).
# Usage: bench/service/service_bench.sh [SECONDS_PER_RUN]   (needs wrk and lighttpd)
set -euo pipefail
seconds=${1:-5}
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/verbarium-bench.XXXXXX)
tree=$work/tree state=$work/state
web_port=18180 engine_port=18181
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

cmake -S "$top" -B "$top/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$top/build-bench" -j "$(nproc)" >/dev/null
cmake --install "$top/build-bench" --prefix "$tree" >/dev/null
"$top/scripts/prepare-tree.sh" "$tree" "$state" 127.0.0.1 "$web_port" "$engine_port"
"$tree/bin/appserver" --listen "127.0.0.1:$engine_port" --db "$state/d.db" --preload 2>"$state/appserver.log" &
pids+=($!)
for _ in $(seq 1 300); do grep -q "ready on" "$state/appserver.log" && break; sleep 0.1; done
lighttpd -D -f "$state/lighttpd.conf" & pids+=($!)
sleep 0.5

# Texts of about 1 KB and 20 KB with a few misspellings per 1 KB.
paragraph="The comittee recieved the report on teh new library building. Every member agreed that \
the design was excelent and that the work should begin soon. The architect explained how the \
reading rooms would get natural light from the north, how the stacks would be kept dry, and how \
visitors could find thier way without asking for help. Several people asked about the budget; \
the treasurer answered that the city had already set the money aside last year. A few questions \
remained about parking, the opening hours on weekends, and the cafe near the entrance, which \
some thought would be too noisy for a place of study. The chair proposed to meet again next \
month to settle these details and to invite the neighbours to see the plans before the final \
vote. Everyone left the meeting in good spirits, looking forward to the next steps. "
small=$paragraph
large=""
for _ in $(seq 1 20); do large+=$paragraph; done
encode() { python3 -c 'import sys,urllib.parse;print(urllib.parse.quote(sys.stdin.read()),end="")'; }
printf 'cmd=spell&slang=en_US&text=%s' "$(printf '%s' "$small" | encode)" >"$work/small.body"
printf 'cmd=spell&slang=en_US&text=%s' "$(printf '%s' "$large" | encode)" >"$work/large.body"
url=http://127.0.0.1:$web_port

# A static file of the same size as each answer: the web server's own floor.
for size in small large; do
  curl -s -X POST --data-binary @"$work/$size.body" "$url/cgi-bin/orthd.cgi" >"$tree/www/$size-answer.html"
  echo "$size answer: $(wc -c <"$tree/www/$size-answer.html") bytes"
done

# wrk prints "Requests/sec" and the latency distribution; keep the median and p99 in ms.
run_wrk() {  # concurrency, body file or "", path
  local c=$1 body=$2 path=$3 out
  if [ -n "$body" ]; then
    out=$(BODY_FILE=$body wrk -t"$(( c < 2 ? 1 : 2 ))" -c"$c" -d"${seconds}s" --latency -s "$top/bench/service/post.lua" "$url$path")
  else
    out=$(wrk -t"$(( c < 2 ? 1 : 2 ))" -c"$c" -d"${seconds}s" --latency "$url$path")
  fi
  local rps p50 p99
  rps=$(awk '/Requests\/sec/ {print $2}' <<<"$out")
  p50=$(awk '$1=="50%" {print $2}' <<<"$out")
  p99=$(awk '$1=="99%" {print $2}' <<<"$out")
  echo "$rps $p50 $p99"
}
to_ms() { awk -v v="$1" 'BEGIN { if (v ~ /us$/) printf "%.2f", v/1000; else if (v ~ /ms$/) printf "%.2f", v+0; else printf "%.2f", v*1000 }'; }

printf '\n%-6s %-5s %10s %9s %9s | %10s %9s | %8s\n' text conc "spell r/s" "p50 ms" "p99 ms" "static r/s" "p50 ms" "r/s ratio"
for size in small large; do
  for c in 1 4 16; do
    read -r rps p50 p99 < <(run_wrk "$c" "$work/$size.body" /cgi-bin/orthd.cgi)
    read -r srps sp50 _ < <(run_wrk "$c" "" "/$size-answer.html")
    printf '%-6s %-5s %10s %9s %9s | %10s %9s | %8s\n' "$size" "$c" "$rps" "$(to_ms "$p50")" "$(to_ms "$p99")" \
      "$srps" "$(to_ms "$sp50")" "$(awk -v a="$rps" -v b="$srps" 'BEGIN{printf "%.4f", a/b}')"
  done
done

# One CGI process without the engine server against the fork-exec floor.
runs=300
time_loop() {  # command...
  local start end
  start=$(date +%s%N)
  for _ in $(seq 1 $runs); do "$@" >/dev/null 2>&1 </dev/null; done
  end=$(date +%s%N)
  echo $(( (end - start) / runs / 1000 ))
}
cgi() { env -i REQUEST_METHOD=GET QUERY_STRING="cmd=get_opt" REMOTE_ADDR=127.0.0.1 "$tree/cgi-bin/orthd.cgi"; }
true_us=$(time_loop /bin/true)
cgi_us=$(cd "$tree/cgi-bin" && time_loop cgi)
echo
echo "one process: /bin/true ${true_us} us, orthd.cgi get_opt ${cgi_us} us, ratio $(awk -v a="$cgi_us" -v b="$true_us" 'BEGIN{printf "%.1f", a/b}')"
