# Zebrolite: `make run` to play, `make test` to test. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
PREFIX ?= /usr/local
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
SOAK_SECONDS ?= 3600
CRASH_KILLS ?= 3000

.PHONY: all deps configure build run serve test test-sanitize bench install package clean
.PHONY: sanitize-build soak soak-ci crash-test

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/game/zebrolite

# The score server on 127.0.0.1:8411 (the game's default), its database in
# $XDG_DATA_HOME/zebrolite/; SERVE_FLAGS="--listen 0.0.0.0" serves the whole network.
serve: build
	$(BUILD)/server/zebrolite-scored $(SERVE_FLAGS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

sanitize-build: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEBROLITE_SANITIZE=ON -DZEBROLITE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize: sanitize-build
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The built-in player, game after game under the sanitizers (docs/reliability.md).
soak: sanitize-build
	./scripts/soak.sh $(SANITIZE_BUILD) $(SOAK_SECONDS)

soak-ci:
	@$(MAKE) soak SOAK_SECONDS=180

# The crash-safety test with thousands of kills instead of the few hundred of `make test`.
crash-test: build
	ZEBROLITE_CRASH_KILLS=$(CRASH_KILLS) ctest --test-dir $(BUILD) -R '^CrashSafety\.' --verbose --timeout 3600

bench: build
	$(BUILD)/bench/zebrolite_bench --benchmark_min_time=0.2

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
