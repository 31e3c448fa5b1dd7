# Zebrolite: `make run` to play, `make test` to test. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
export FUZZ_SECONDS FUZZ_RUNS FUZZ_CORPUS
PREFIX ?= /usr/local
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
SOAK_SECONDS ?= 3600
CRASH_KILLS ?= 3000

.PHONY: all deps configure build run serve test test-sanitize fuzz-build fuzz fuzz-ci fuzz-merge server-soak bench bench-peers bench-server install package clean
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

# ctest on a build folder; then, when the PostgreSQL tests were skipped (no PostgreSQL server
# programs, or no libpq), one line that says so and why.
define run_tests
	@status=0; ctest --test-dir $(1) --output-on-failure -j $(JOBS) || status=$$?; \
	  skipped=$(1)/tests/postgres-cluster/skipped; \
	  if [ -f $$skipped ]; then echo "PostgreSQL tests skipped: $$(cat $$skipped)"; fi; \
	  exit $$status
endef

test: build
	$(call run_tests,$(BUILD))

sanitize-build: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEBROLITE_SANITIZE=ON -DZEBROLITE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize: sanitize-build
	$(call run_tests,$(SANITIZE_BUILD))

# The fuzz targets (fuzz/) in a build of their own, with clang, libFuzzer, ASan and UBSan.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DZEBROLITE_BUILD_FUZZERS=ON \
	  -DZEBROLITE_BUILD_TESTS=OFF -DZEBROLITE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)

# Each target for FUZZ_SECONDS (default 60; FUZZ_RUNS=N for N inputs instead), one after the
# other (FUZZ_TARGETS="png wav" for some); finds go to $(FUZZ_BUILD)/corpus/, or to
# FUZZ_CORPUS=DIR. `make fuzz-merge` adds those that reach new code to fuzz/corpus/.
fuzz: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) fuzz $(FUZZ_TARGETS)

# CI's share: every committed input replayed, then each target for FUZZ_SECONDS (default 20).
fuzz-ci: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) ci $(FUZZ_TARGETS)

fuzz-merge: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) merge $(FUZZ_TARGETS)

# The score server, on each store: killed SERVER_KILLS times (300) while it answers
# submissions, then SERVER_SOAK_SECONDS (3600) under a steady load with hostile requests.
# `make test` runs both briefly.
SERVER_KILLS ?= 300
SERVER_SOAK_SECONDS ?= 3600
server-soak: build
	@status=0; ZEBROLITE_SERVER_KILLS=$(SERVER_KILLS) ZEBROLITE_SERVER_SOAK_SECONDS=$(SERVER_SOAK_SECONDS) \
	  ctest --test-dir $(BUILD) -R 'ServerKillTest|ServerSoakTest' -j $(JOBS) --timeout $$(( $(SERVER_SOAK_SECONDS) * 2 + 600 )) \
	  --output-on-failure -V >$(BUILD)/server-soak.log 2>&1 || status=$$?; \
	  grep -E 'kills,|valid and|tests passed|tests failed|\*\*\*Failed' $(BUILD)/server-soak.log; \
	  echo "the whole log: $(BUILD)/server-soak.log"; exit $$status

# The built-in player, game after game under the sanitizers (docs/reliability.md).
soak: sanitize-build
	./scripts/soak.sh $(SANITIZE_BUILD) $(SOAK_SECONDS)

soak-ci:
	@$(MAKE) soak SOAK_SECONDS=120

# The crash-safety test with thousands of kills instead of the few hundred of `make test`.
crash-test: build
	ZEBROLITE_CRASH_KILLS=$(CRASH_KILLS) ctest --test-dir $(BUILD) -R '^CrashSafety\.' --verbose --timeout 3600

bench: build
	$(BUILD)/bench/zebrolite_bench --benchmark_min_time=0.2

# Zebrolite beside LBreakout2 under Xvfb (installs LBreakout2; some minutes; not part of test).
bench-peers: build
	bench/compare-peers.sh $(BUILD)

# The score server with wrk on loopback, beside nginx and the disk's synchronous writes
# (SQLite, then PostgreSQL with one and two servers); writes its section of docs/performance.md.
bench-server: build
	./bench/server-bench.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
