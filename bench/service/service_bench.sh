#!/usr/bin/env bash
# Service benchmark: "spell" requests of about 1 KB and 20 KB on loopback at 1, 2, 4 and 16
# clients, through
#   - orthd.cgi as FastCGI under nginx (orthd.cgi --fastcgi, 2 workers),
#   - orthd.cgi as FastCGI under lighttpd (mod_fastcgi, 2 processes),
#   - orthd.cgi as CGI under lighttpd,
# and, as floors in the same run, a static file of the answer's size and a trivial C CGI program
# (both under the same lighttpd). Then whole processes for "get_opt" and for a 1 KB spell request
# against a trivial C++ program linked the same way (bench/start/start_bench, alternated,
# medians), and the resident memory of the FastCGI workers after 1,000 and after MEMORY_REQUESTS
# requests. First, orthd.cgi as FastCGI under nginx beside a trivial libfcgi responder under a
# second nginx of the same configuration: "sc" with about 1 KB of known words, and "sc" and
# "spell" of about 20 KB, at 1 and 4 clients (with BASELINE_FASTCGI, that program's rows too).
# Usage: bench/service/service_bench.sh [SECONDS_PER_RUN]   (needs wrk, lighttpd, nginx)
#   BUILD_DIR=build reuses an existing build (default: a Release build in build-bench);
#   MEMORY_REQUESTS=100000 (0 skips the memory check);
#   BASELINE_CGI=path/to/an/older/orthd.cgi adds its CGI rows (same tree, same lighttpd);
#   BASELINE_FASTCGI=path/to/an/older/orthd.cgi adds rows of that program's FastCGI workers under
#     a second nginx (same tree), alternated with this build's;
#   WIDE=0 skips the table of every way (the baseline rows and one-process timings stay);
#   TABLE=0 skips all tables and the one-process timing (only the memory check);
#   RESPONDER=0 skips the rows beside the trivial FastCGI responder.
set -euo pipefail
seconds=${1:-5}
memory_requests=${MEMORY_REQUESTS:-100000}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-bench}
work=$(mktemp -d /tmp/verbarium-bench.XXXXXX)
tree=$work/tree
base=$((20000 + RANDOM % 20000))  # other benchmarks may run on this machine
cgi_port=$base fcgi_port=$((base + 2)) nginx_port=$((base + 3)) engine_port=$((base + 1)) workers_port=$((base + 4))
base_nginx_port=$((base + 5)) base_workers_port=$((base + 6))
trivial_nginx_port=$((base + 7)) trivial_port=$((base + 8))
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${BUILD_DIR:-}" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" >/dev/null
fi
cmake --install "$build" --prefix "$tree" >/dev/null
"$top/scripts/prepare-tree.sh" "$tree" "$work/cgi" 127.0.0.1 "$cgi_port" "$engine_port"
"$top/scripts/prepare-tree.sh" "$tree" "$work/fcgi" 127.0.0.1 "$fcgi_port" "$engine_port"
"$top/scripts/prepare-tree.sh" "$tree" "$work/nginx" 127.0.0.1 "$nginx_port" "$engine_port" "$workers_port"
"$tree/bin/appserver" --listen "127.0.0.1:$engine_port" --db "$work/d.db" --preload \
  --index-dir "$build/suggestion-index" 2>"$work/appserver.log" &
pids+=($!)
for _ in $(seq 1 300); do grep -q "ready on" "$work/appserver.log" && break; sleep 0.1; done

# The trivial CGI floor: a C program that answers a short plain text.
printf '#include <stdio.h>\nint main(void){fputs("Content-Type: text/plain\\r\\n\\r\\nok",stdout);return 0;}\n' >"$work/trivial.c"
cc -O2 -o "$tree/cgi-bin/trivial.cgi" "$work/trivial.c"

[ -n "${BASELINE_CGI:-}" ] && cp "$BASELINE_CGI" "$tree/cgi-bin/baseline.cgi"
if [ -n "${BASELINE_FASTCGI:-}" ]; then
  cp "$BASELINE_FASTCGI" "$tree/cgi-bin/baseline-fcgi.cgi"
  "$top/scripts/prepare-tree.sh" "$tree" "$work/nginx-base" 127.0.0.1 "$base_nginx_port" "$engine_port" "$base_workers_port"
  "$tree/cgi-bin/baseline-fcgi.cgi" --fastcgi "127.0.0.1:$base_workers_port" --workers 2 2>"$work/base-workers.log" &
  pids+=($!)
  nginx -e "$work/nginx-base/nginx.error.log" -c "$work/nginx-base/nginx.conf" & pids+=($!)
fi

lighttpd -D -f "$work/cgi/lighttpd.conf" & pids+=($!)
lighttpd -D -f "$work/fcgi/lighttpd-fastcgi.conf" & pids+=($!)
"$tree/cgi-bin/orthd.cgi" --fastcgi "127.0.0.1:$workers_port" --workers 2 2>"$work/workers.log" &
workers_pid=$!
pids+=($workers_pid)
nginx -e "$work/nginx/nginx.error.log" -c "$work/nginx/nginx.conf" & pids+=($!)

# The trivial FastCGI floor: a libfcgi responder answering a short plain text, under an nginx
# configured as the service's (its requests go to the same location).
if [ "${RESPONDER:-1}" != 0 ]; then
  cat >"$work/responder.c" <<'C'
#include <fcgiapp.h>
int main(int argc, char** argv) {
  if (argc < 2 || FCGX_Init() != 0) return 1;
  FCGX_Request request;
  FCGX_InitRequest(&request, FCGX_OpenSocket(argv[1], 128), 0);
  while (FCGX_Accept_r(&request) == 0) {
    FCGX_PutS("Content-Type: text/plain\r\n\r\nok", request.out);
    FCGX_Finish_r(&request);
  }
  return 0;
}
C
  cc -O2 -o "$work/responder" "$work/responder.c" -lfcgi
  "$top/scripts/prepare-tree.sh" "$tree" "$work/nginx-trivial" 127.0.0.1 "$trivial_nginx_port" "$engine_port" "$trivial_port"
  "$work/responder" "127.0.0.1:$trivial_port" & pids+=($!)
  nginx -e "$work/nginx-trivial/nginx.error.log" -c "$work/nginx-trivial/nginx.conf" & pids+=($!)
fi
sleep 1

# Texts of about 1 KB and 20 KB with a few misspellings per 1 KB, and "sc" requests of their words.
"$top/bench/service/make_bodies.sh" "$work"

# A static file of the same size as each answer; every way must give the same body.
for size in 1KB 20KB; do
  curl -s -X POST --data-binary @"$work/$size.body" "http://127.0.0.1:$cgi_port/cgi-bin/orthd.cgi" >"$tree/www/$size-answer.html"
  for port in $fcgi_port $nginx_port; do
    curl -s -X POST --data-binary @"$work/$size.body" "http://127.0.0.1:$port/cgi-bin/orthd.cgi" |
      cmp -s - "$tree/www/$size-answer.html" || echo "WARNING: the $size answer on port $port differs from the CGI answer"
  done
  echo "$size request: $(wc -c <"$work/$size.body") bytes, answer: $(wc -c <"$tree/www/$size-answer.html") bytes"
done

# wrk prints "Requests/sec", the latency distribution and any errors.
run_wrk() {  # concurrency, body file or "", url
  local c=$1 body=$2 url=$3 out
  local threads=$(( c < 2 ? 1 : 2 ))
  if [ -n "$body" ]; then
    out=$(BODY_FILE=$body wrk -t"$threads" -c"$c" -d"${seconds}s" --latency -s "$top/bench/service/post.lua" "$url")
  else
    out=$(wrk -t"$threads" -c"$c" -d"${seconds}s" --latency "$url")
  fi
  local rps p50 p99 errors
  rps=$(awk '/Requests\/sec/ {printf "%.0f", $2}' <<<"$out")
  p50=$(to_ms "$(awk '$1=="50%" {print $2}' <<<"$out")")
  p99=$(to_ms "$(awk '$1=="99%" {print $2}' <<<"$out")")
  errors=$(awk '/Non-2xx|Socket errors/ {e=1} END {print e ? "E" : ""}' <<<"$out")
  echo "$rps/$p50/$p99$errors"
}
to_ms() { awk -v v="$1" 'BEGIN { if (v ~ /us$/) printf "%.2f", v/1000; else if (v ~ /ms$/) printf "%.2f", v+0; else printf "%.2f", v*1000 }'; }

if [ "${TABLE:-1}" != 0 ]; then
echo
echo "requests/s / p50 ms / p99 ms (E: wrk saw errors or non-2xx answers)"
if [ "${RESPONDER:-1}" != 0 ]; then
  echo
  echo "orthd.cgi as FastCGI under nginx beside the trivial libfcgi responder (same nginx setup)"
  echo "and, with BASELINE_FASTCGI, the baseline program; ratio: this build to the responder:"
  for row in "sc-1KB 1" "sc-1KB 4" "sc-20KB 1" "sc-20KB 4" "20KB 1" "20KB 4"; do
    set -- $row
    name=$1
    [ "$name" = 20KB ] && name=spell-20KB
    responder=$(run_wrk "$2" "$work/$1.body" "http://127.0.0.1:$trivial_nginx_port/cgi-bin/orthd.cgi")
    this=$(run_wrk "$2" "$work/$1.body" "http://127.0.0.1:$nginx_port/cgi-bin/orthd.cgi")
    baseline=""
    [ -n "${BASELINE_FASTCGI:-}" ] &&
      baseline="baseline $(run_wrk "$2" "$work/$1.body" "http://127.0.0.1:$base_nginx_port/cgi-bin/orthd.cgi")"
    printf '%-10s %-3s | responder %-20s this build %-20s %s  ratio %s\n' "$name" "$2" "$responder" \
      "$this" "$baseline" "$(awk -v a="${this%%/*}" -v b="${responder%%/*}" 'BEGIN{printf "%.2f", a/b}')"
  done
fi
if [ "${WIDE:-1}" != 0 ]; then
printf '%-5s %-3s | %-20s %-20s %-20s | %-20s %-20s\n' text cli "FastCGI nginx" "FastCGI lighttpd" \
  "CGI lighttpd" "static (lighttpd)" "trivial CGI"
for size in 1KB 20KB; do
  for c in 1 2 4 16; do
    printf '%-5s %-3s | %-20s %-20s %-20s | %-20s %-20s\n' "$size" "$c" \
      "$(run_wrk "$c" "$work/$size.body" "http://127.0.0.1:$nginx_port/cgi-bin/orthd.cgi")" \
      "$(run_wrk "$c" "$work/$size.body" "http://127.0.0.1:$fcgi_port/cgi-bin/orthd.cgi")" \
      "$(run_wrk "$c" "$work/$size.body" "http://127.0.0.1:$cgi_port/cgi-bin/orthd.cgi")" \
      "$(run_wrk "$c" "" "http://127.0.0.1:$cgi_port/$size-answer.html")" \
      "$(run_wrk "$c" "" "http://127.0.0.1:$cgi_port/cgi-bin/trivial.cgi")"
  done
done
fi
# Rows of a baseline program beside this build's, alternated per cell.
compare_rows() {  # title, baseline url, this build's url
  echo
  echo "$1, against this build's, alternated:"
  for size in 1KB 20KB; do
    for c in 1 2 4 16; do
      printf '%-5s %-3s | baseline %-20s this build %-20s\n' "$size" "$c" \
        "$(run_wrk "$c" "$work/$size.body" "$2")" "$(run_wrk "$c" "$work/$size.body" "$3")"
    done
  done
}
[ -n "${BASELINE_FASTCGI:-}" ] && compare_rows "baseline orthd.cgi ($BASELINE_FASTCGI) as FastCGI under nginx" \
  "http://127.0.0.1:$base_nginx_port/cgi-bin/orthd.cgi" "http://127.0.0.1:$nginx_port/cgi-bin/orthd.cgi"
[ -n "${BASELINE_CGI:-}" ] && compare_rows "baseline orthd.cgi ($BASELINE_CGI) as CGI under lighttpd" \
  "http://127.0.0.1:$cgi_port/cgi-bin/baseline.cgi" "http://127.0.0.1:$cgi_port/cgi-bin/orthd.cgi"

# Whole processes as a web server starts them (bench/start/start_bench: fork, exec, reap; the
# programs alternated, medians): "get_opt" (no engine call) against a trivial C++ program linked
# the same way, then a 1 KB spell request (with its engine call) against the same floor.
printf '#include <iostream>\nint main(){std::cout<<"Content-Type: text/plain\\r\\n\\r\\nok"<<std::flush;return 0;}\n' >"$work/trivial.cpp"
c++ -O2 -static-libstdc++ -static-libgcc -o "$work/trivial-cxx" "$work/trivial.cpp"
programs=("$tree/cgi-bin/orthd.cgi")
[ -n "${BASELINE_CGI:-}" ] && programs+=("$tree/cgi-bin/baseline.cgi")
echo
echo "one process for get_opt (ratio: to the trivial C++ program):"
"$build/bench/start/start_bench" "${START_RUNS:-300}" "$tree/cgi-bin" cmd=get_opt "$work/trivial-cxx" "${programs[@]}"
echo
echo "one process for a 1 KB spell request:"
"$build/bench/start/start_bench" "${START_RUNS:-300}" "$tree/cgi-bin" "@$work/1KB.body" "$work/trivial-cxx" "${programs[@]}"
fi

# Resident memory of the FastCGI workers (orthd.cgi --fastcgi, 2 workers) after 1,000 requests and
# after MEMORY_REQUESTS requests, all 1 KB spell requests through nginx.
if [ "$memory_requests" -gt 0 ]; then
  rss() { local total=0; for p in $(pgrep -P "$workers_pid"); do total=$((total + $(awk '/VmRSS/ {print $2}' "/proc/$p/status"))); done; echo "$total"; }
  # Counted in the request log (one line per orthd request); wrk runs in short slices.
  logged() { cat "$tree"/srv/logs/*.orthd.log 2>/dev/null | wc -l; }
  send() {
    local target=$(( $(logged) + $1 ))
    while [ "$(logged)" -lt "$target" ]; do
      BODY_FILE=$work/1KB.body wrk -t2 -c2 -d2s -s "$top/bench/service/post.lua" "http://127.0.0.1:$nginx_port/cgi-bin/orthd.cgi" >/dev/null
    done
  }
  send 1000
  after_1k=$(rss)
  send $((memory_requests - 1000))
  after_n=$(rss)
  echo "FastCGI workers' resident memory: ${after_1k} KB after 1000 requests, ${after_n} KB after ${memory_requests} (ratio $(awk -v a="$after_n" -v b="$after_1k" 'BEGIN{printf "%.3f", a/b}'))"
fi
