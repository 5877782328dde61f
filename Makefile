BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: deps configure build test demo demo-live bench sanitize clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DQM_WERROR=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure

demo: build
	$(BUILD)/quillmesh-terminal --session examples/demo-session.json

# The viewer against the simulated robot; the backend stops when the viewer quits.
DEMO_DIR ?= /tmp/quillmesh-demo
demo-live: build
	mkdir -p $(DEMO_DIR)
	$(BUILD)/quillmesh-demo-backend --session $(DEMO_DIR)/session.json --requests $(DEMO_DIR)/requests.jsonl & \
	backend=$$!; trap 'kill $$backend' EXIT; \
	while [ ! -s $(DEMO_DIR)/session.json ]; do sleep 0.1; done; \
	$(BUILD)/quillmesh-terminal --session $(DEMO_DIR)/session.json --requests $(DEMO_DIR)/requests.jsonl

bench: build
	for program in $(BUILD)/bench/bench_*; do $$program; done

sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_FLAGS=-DQM_SANITIZE=ON

clean:
	rm -rf build build-sanitize
