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
  libhunspell-dev hunspell-en-us hunspell-de-de hunspell-vi
  libicu-dev libmythes-dev mythes-en-us libsqlite3-dev
  # word-frequency tiers for ranking suggestions (read at build time): English, German
  scowl wngerman
  # benchmark data: typo -> correction pairs (codespell), edited prose (debian-policy)
  codespell debian-policy
  # the administration library: its metabase file
  nlohmann-json3-dev
  # reference data used by tests; web server and load tool for `make run` and benchmarks
  w3c-sgml-lib lighttpd apache2-bin wrk curl
  # browser tests of the clients: Chromium driven from Node (tests/browser/)
  chromium nodejs
  # real parsers that tests read rendered answers with (HTML and XML in Python, script in node)
  python3
  # the XML parser end-to-end tests check XML answers with
  libxml2-utils
  # FastCGI: the library, a process spawner and nginx for the FastCGI deployment
  libfcgi-dev spawn-fcgi nginx-light
  # the relay's HTTP client to the service host; TLS for the relay's end-to-end https test
  libcurl4-openssl-dev lighttpd-mod-openssl openssl
  # gzip for the browser scripts the service sends
  zlib1g-dev
  # the engine server's dictionary owner keys (random source, SHA-256)
  libssl-dev
  # the metrics end-to-end test scrapes both metrics pages with a real Prometheus (its own
  # instance on a free port; the package's service is not wanted here)
  prometheus
  # the shared dictionary store of several engine servers: libpq, and the server its tests
  # start in a scratch folder
  libpq-dev postgresql
)
# A Node.js from another source brings its own npm and conflicts with Debian's package.
command -v npm >/dev/null 2>&1 || PACKAGES+=(npm)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  # Installed only for the test, which starts its own: the packaged service would keep a
  # Prometheus running on port 9090 for good.
  if [[ " ${missing[*]} " == *" prometheus "* ]] && command -v systemctl >/dev/null 2>&1 &&
    [ -d /run/systemd/system ]; then
    $SUDO systemctl disable --now prometheus >/dev/null 2>&1 || true
  fi
fi

# The browser-test driver and the editors the browser tests run in (CKEditor 5, TinyMCE, Quill,
# React, axe-core) come from the npm registry at the versions the lock file pins; the driver
# uses the Debian Chromium above and never downloads a browser. Without the registry the
# browser tests skip themselves.
browser_tests=$(cd "$(dirname "$0")/../tests/browser" && pwd)
if ! (cd "$browser_tests" && npm ls --silent >/dev/null 2>&1); then
  (cd "$browser_tests" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent) ||
    echo "warning: npm could not install the browser tests' packages; those tests will be skipped"
fi

# The JSON API's end-to-end test: clients of LanguageTool's HTTP API and the OpenAPI validator,
# from the npm registry at the versions the lock file pins. Without the registry those tests
# skip themselves.
jsonapi_tests=$(cd "$(dirname "$0")/../tests/jsonapi" && pwd)
if [ ! -d "$jsonapi_tests/node_modules/languagetool-api" ]; then
  (cd "$jsonapi_tests" && npm ci --no-audit --no-fund --silent) ||
    echo "warning: npm could not install the JSON API clients; their tests will be skipped"
fi
