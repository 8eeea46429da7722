# Entry points for a newcomer on a fresh Debian 12 machine:
#   make test     install what is missing, configure, build, run every test through CTest
#   make build    configure and build
#   make install PREFIX=dir   lay out a runnable tree at dir
#   make run      the service on http://$(HOST):$(PORT)/ (engine server + lighttpd, FastCGI;
#                 MODE=cgi for the CGI programs)
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
PREFIX ?= $(CURDIR)/run/tree
JOBS ?= $(shell nproc)
WERROR ?= OFF
SANITIZE ?=
CMAKE_ARGS ?=
HOST ?= 127.0.0.1
PORT ?= 8080
ENGINE_PORT ?= 2880
# `make run` serves the programs through FastCGI; MODE=cgi runs them as CGI programs.
MODE ?= fastcgi

.PHONY: deps configure build test install run fuzz clean format format-check

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DVERBARIUM_WERROR=$(WERROR) -DSANITIZE=$(SANITIZE) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX) >/dev/null
	@echo "installed into $(PREFIX)"

run: deps
	@scripts/run.sh "$(HOST)" "$(PORT)" "$(ENGINE_PORT)" "$(MODE)"

# Runs every fuzz target for FUZZ_SECONDS each (clang + libFuzzer).
FUZZ_SECONDS ?= 30
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	@rm -rf $(BUILD_DIR) build-* run
