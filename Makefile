# Kestrelbench: make run | make test | make bench | make fuzz | make screenshot | make install
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= $(HOME)/.local
# Seconds each fuzz target runs: make fuzz is the short run of CI; make fuzz-long runs 600 s
# per target unless given FUZZ_SECONDS=...
FUZZ_SECONDS ?= 8

.PHONY: all deps configure build run test bench demo screenshot sanitize fuzz fuzz-build fuzz-long clean install uninstall

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

screenshot: build
	@scripts/screenshot.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-fuzz

install: build
	@scripts/install.sh $(BUILD) $(PREFIX)

uninstall:
	@scripts/uninstall.sh $(PREFIX)
