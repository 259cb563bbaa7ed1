# Set-up, build, run and test on Debian 12; see README.md.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
XVFB := xvfb-run -a -s "-screen 0 1600x1000x24"

.PHONY: all deps build run test bench clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j2

run: build
	@$(BUILD_DIR)/zenrook

test: build
	cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure

bench: build
	$(BUILD_DIR)/bench/zenrook_bench

clean:
	rm -rf $(BUILD_DIR)
