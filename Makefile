# Zebrolite: `make run` to play, `make test` to test. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
PREFIX ?= /usr/local
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run serve test test-sanitize bench bench-peers install package clean

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

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEBROLITE_SANITIZE=ON -DZEBROLITE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/zebrolite_bench --benchmark_min_time=0.2

# Zebrolite beside LBreakout2 under Xvfb (installs LBreakout2; some minutes; not part of test).
bench-peers: build
	bench/compare-peers.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
