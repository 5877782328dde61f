BUILD ?= build
CMAKE_FLAGS ?=
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_MINUTES ?= 5
SOAK_CSV ?= $(BUILD)/soak.csv
# ctest runs this many tests at once; the end-to-end tests hold a resource lock.
TEST_JOBS ?= $(shell nproc)

.PHONY: deps configure build demo-build test demo check-screen bench-build bench sanitize fuzz package soak timing clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DQM_WERROR=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

# Only the two programs the demo runs.
demo-build: configure
	cmake --build $(BUILD) --target quillmesh-terminal quillmesh-demo-backend

test: build
	cd $(BUILD) && ctest --output-on-failure --parallel $(TEST_JOBS)

demo: demo-build
	scripts/run-demo $(BUILD)

# The viewer in xterm on a light background, every panel open, at 80x24 and 200x60.
check-screen: demo-build
	scripts/check-screen $(BUILD)

# The benchmarks are not part of the test build.
bench-build: configure
	cmake --build $(BUILD) --target benchmarks

bench: bench-build
	for program in $(BUILD)/bench/bench_*; do $$program; done

sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_FLAGS=-DQM_SANITIZE=ON

# The viewer for SOAK_MINUTES under a document renamed over its session file every second and
# random keys, mouse reports and resizes; one CSV row per rename in SOAK_CSV.
soak: configure
	cmake --build $(BUILD) --target quillmesh-terminal quillmesh-soak
	$(BUILD)/quillmesh-soak --viewer $(BUILD)/quillmesh-terminal --minutes $(SOAK_MINUTES) \
	  --csv $(SOAK_CSV)

# The viewer at a pseudo-terminal on a generated 31 MiB document: a rename to the redrawn
# header, a filter keystroke and one-row moves (key to first byte), peak memory after ten reloads.
timing: configure
	cmake --build $(BUILD) --target quillmesh-terminal quillmesh-timing
	$(BUILD)/quillmesh-timing --viewer $(BUILD)/quillmesh-terminal

# The Debian package of the programs, in $(BUILD).
package: build
	cd $(BUILD) && cpack

# Every fuzz target for FUZZ_SECONDS each; a failing input fails the run. The clang build compiles
# file by file: its -Wshadow would see the file-local names of a whole unity batch.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DQM_WERROR=ON -DQM_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-16 \
	  -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCHMARKS=OFF -DQM_UNITY_BUILD=OFF
	cmake --build $(FUZZ_BUILD)
	scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf build build-sanitize $(FUZZ_BUILD)
