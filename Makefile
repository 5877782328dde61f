BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: deps configure build test demo bench sanitize clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DQM_WERROR=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure

demo: build
	scripts/run-demo $(BUILD)

bench: build
	for program in $(BUILD)/bench/bench_*; do $$program; done

sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_FLAGS=-DQM_SANITIZE=ON

clean:
	rm -rf build build-sanitize
