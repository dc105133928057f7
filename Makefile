# Kestrelbench: make run | make test | make bench | make screenshot | make install | make random-session
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= $(HOME)/.local

.PHONY: all deps configure build run test bench demo screenshot sanitize random-session clean install uninstall

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
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan

install: build
	@scripts/install.sh $(BUILD) $(PREFIX)

uninstall:
	@scripts/uninstall.sh $(PREFIX)
