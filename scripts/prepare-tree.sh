#!/usr/bin/env bash
# Points an installed runtime tree at a local engine server and writes lighttpd and Apache
# configurations for it (STATE_DIR/lighttpd.conf, STATE_DIR/apache.conf). Used by `make run`, the end-to-end tests and the service benchmark.
# Usage: scripts/prepare-tree.sh TREE STATE_DIR HOST PORT ENGINE_PORT [FASTCGI_PORT]
# ENGINE_PORT and FASTCGI_PORT may be comma-separated lists (several engine servers, which
# orthd tries in order; several FastCGI pools in nginx's upstream).
# Also writes the FastCGI configurations STATE_DIR/lighttpd-fastcgi.conf, STATE_DIR/nginx.conf and
# STATE_DIR/apache-fastcgi.conf
# (nginx and Apache pass to orthd.cgi --fastcgi 127.0.0.1:FASTCGI_PORT, by default ENGINE_PORT + 1).
set -euo pipefail
tree=$1 state=$2 host=$3 port=$4 engine_port=$5
fastcgi_port=${6:-$((${engine_port%%,*} + 1))}
engines=$(echo "$engine_port" | sed -e 's/\([0-9][0-9]*\)/127.0.0.1:\1/g')
pools=$(echo "$fastcgi_port" | sed -e 's/\([0-9][0-9]*\)/server 127.0.0.1:\1;/g' -e 's/,/ /g')
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$state" "$tree/srv/logs"

# The first occurrence of a key wins in the INI files: run-specific values go first.
ini=$tree/cgi-bin/orthd.ini
{
  echo "# Written for this run by scripts/prepare-tree.sh; the shipped file follows."
  echo "appserver_hostname=$engines"
  echo "appserver_port=${engine_port%%,*}"
  cat "$top/data/cgi-bin/orthd.ini"
} >"$ini.new"
mv "$ini.new" "$ini"

# The relay in the same tree forwards to this service, through the web server's
# /spellcheck/script/ path, and keeps its cache in the state folder.
ini=$tree/cgi-bin/ferrix.ini
{
  echo "# Written for this run by scripts/prepare-tree.sh; the shipped file follows."
  echo "service_host=http://127.0.0.1:$port/spellcheck"
  echo "cache_path=$state"
  cat "$top/data/cgi-bin/ferrix.ini"
} >"$ini.new"
mv "$ini.new" "$ini"

for server in lighttpd apache; do
  template=$top/deploy/lighttpd.conf.in
  [ "$server" = apache ] && template=$top/deploy/apache-verbarium.conf.in
  sed -e "s|@TREE@|$tree|g" -e "s|@HOST@|$host|g" -e "s|@PORT@|$port|g" -e "s|@STATE@|$state|g" \
    "$template" >"$state/$server.conf"
done

for server in lighttpd-fastcgi nginx apache-fastcgi; do
  sed -e "s|@TREE@|$tree|g" -e "s|@HOST@|$host|g" -e "s|@PORT@|$port|g" -e "s|@STATE@|$state|g" \
    -e "s|@FASTCGI@|127.0.0.1:${fastcgi_port%%,*}|g" -e "s|@FASTCGI_POOLS@|$pools|g" \
    "$top/deploy/$server.conf.in" >"$state/$server.conf"
done
