#!/usr/bin/env bash
# `make run`: builds, installs the runtime tree into run/tree (ignored by git), starts the
# engine server and lighttpd on loopback, prints the URL, and stops both on Ctrl-C.
# Usage: scripts/run.sh HOST PORT ENGINE_PORT [fastcgi|cgi]
# In fastcgi mode (the default) lighttpd starts the programs as persistent FastCGI servers.
set -euo pipefail
host=${1:-127.0.0.1}
port=${2:-8080}
engine_port=${3:-2880}
mode=${4:-fastcgi}
case $mode in
  fastcgi) web_conf=lighttpd-fastcgi.conf ;;
  cgi) web_conf=lighttpd.conf ;;
  *) echo "unknown mode $mode (fastcgi or cgi)"; exit 2 ;;
esac
top=$(cd "$(dirname "$0")/.." && pwd)
state=$top/run
tree=$state/tree

make -C "$top" --no-print-directory install PREFIX="$tree"
"$top/scripts/prepare-tree.sh" "$tree" "$state" "$host" "$port" "$engine_port"

# Each server runs in a process group of its own (setsid): Ctrl-C reaches this script only, and
# the clean-up stops each server with SIGTERM and then ends what is left of its group. A Ctrl-C
# that reached lighttpd too would end its FastCGI programs, which lighttpd starts again while it
# shuts down and then leaves running.
pids=()
cleanup() {
  trap - INT TERM EXIT
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 1 50); do pgrep -g "$pid" >/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$pid" 2>/dev/null || true
  done
  echo "stopped"
}
trap cleanup INT TERM EXIT

setsid "$tree/bin/appserver" --listen "127.0.0.1:$engine_port" --db "$state/dictionaries.db" \
  2>"$state/appserver.log" &
pids+=($!)
for _ in $(seq 1 300); do
  grep -q "ready on" "$state/appserver.log" 2>/dev/null && break
  kill -0 "${pids[0]}" 2>/dev/null || { cat "$state/appserver.log"; exit 1; }
  sleep 0.1
done
grep -q "ready on" "$state/appserver.log" || { echo "the engine server did not start"; exit 1; }

setsid lighttpd -D -f "$state/$web_conf" &
pids+=($!)
sleep 0.3
kill -0 "${pids[1]}" 2>/dev/null || { cat "$state/lighttpd.error.log" 2>/dev/null; exit 1; }

echo "Verbarium is running ($mode): http://$host:$port/  (engine server on 127.0.0.1:$engine_port; Ctrl-C stops both)"
echo "relay: http://$host:$port/cgi-bin/ferrix.cgi?cmd=checkconfig  (ferrix.cgi forwards to orthd.cgi; cache in $state/ferrix_cache)"
echo "logs: $tree/srv/logs/, $state/appserver.log, $state/lighttpd.error.log"
wait
