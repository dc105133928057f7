# Kestrelbench: make run | make test | make bench | make bench-peers | make fuzz | make screenshot | make install | make package | make random-session
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= $(HOME)/.local
# Seconds each fuzz target runs: make fuzz is the short run of CI; make fuzz-long runs 600 s
# per target unless given FUZZ_SECONDS=...
FUZZ_SECONDS ?= 8

.PHONY: all deps configure build run test bench bench-peers demo screenshot sanitize fuzz fuzz-build fuzz-long random-session clean install uninstall package

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/make-demo.sh $(BUILD)

run: demo
	$(BUILD)/demo-bin/kestrelbench

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-bench -j $(JOBS)
	@scripts/run-bench.sh $(BUILD)-bench

# Kestrelbench beside the peer editors on the same files (docs/performance.md); installs the
# peers that are missing. PEER_ROUNDS rounds, interleaved.
PEER_ROUNDS ?= 5
bench-peers: deps
	@scripts/install-deps.sh bench/peer-packages.txt
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-bench -j $(JOBS) --target kestrelbench grindle
	bench/peers.sh $(BUILD)-bench $(PEER_ROUNDS)

sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && ctest --output-on-failure -j $(JOBS)

# The fuzz targets alone, with clang, coverage and the sanitizers, in a build folder of their own.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DKESTREL_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	@scripts/run-fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

fuzz-long: FUZZ_SECONDS = 600
fuzz-long: fuzz-build
	@scripts/run-fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# The randomized end-to-end session over many seeds (make test runs a few):
# make random-session RANDOM_SEEDS=20 RANDOM_STEPS=400, or a list of seeds: RANDOM_SEEDS=4,17
RANDOM_SEEDS ?= 20
RANDOM_STEPS ?= 300
random-session: build
	cd $(BUILD) && KESTREL_RANDOM_SEEDS=$(RANDOM_SEEDS) KESTREL_RANDOM_STEPS=$(RANDOM_STEPS) \
		ctest --output-on-failure -R '^e2e_random_session$$' --timeout 36000

screenshot: build
	@scripts/screenshot.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-fuzz

install: build
	@scripts/install.sh $(BUILD) $(PREFIX)

uninstall:
	@scripts/uninstall.sh $(PREFIX)

# The Debian package, from the build folder: only the program and grindle are built for it.
package: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target kestrelbench grindle
	cd $(BUILD) && cpack -G DEB
