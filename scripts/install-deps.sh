#!/usr/bin/env bash
# The one place that knows what the build, the tests and the service need from Debian.
# Idempotent and quiet when everything is present.
set -euo pipefail

PACKAGES=(
  # toolchain and test framework
  build-essential cmake ninja-build clang clang-format libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # the engine server: spelling, word boundaries, thesaurus, personal dictionaries
  libaspell-dev aspell-en aspell-fr aspell-de aspell-he
  libhunspell-dev hunspell-en-us hunspell-vi
  libicu-dev libmythes-dev mythes-en-us libsqlite3-dev
  # reference data used by tests; web server and load tool for `make run` and benchmarks
  w3c-sgml-lib lighttpd apache2-bin wrk curl
  # the relay's HTTP client to the service host; TLS for the relay's end-to-end https test
  libcurl4-openssl-dev lighttpd-mod-openssl openssl
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
