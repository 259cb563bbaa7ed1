# Set-up, build, run and test on Debian 12; see README.md.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
XVFB := xvfb-run -a -s "-screen 0 1600x1000x24"

ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_TARGETS := fuzz_settings fuzz_settings_damage fuzz_request fuzz_userdata fuzz_urlenc fuzz_postalcsv fuzz_coordinates fuzz_addresstext fuzz_csvrecords fuzz_barcode
FUZZ_RUNS ?= 1000000

.PHONY: all deps build run test test-sanitized bench fuzz fuzz-build fuzz-smoke install package package-check clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j2

run: build
	@$(BUILD_DIR)/zenrook

# A few seeded seconds of each fuzz target, the unit tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the whole suite.
test: build
	@$(MAKE) --no-print-directory fuzz-smoke test-sanitized
	cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure

test-sanitized: deps
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENROOK_SANITIZE=ON -DZENROOK_BUILD_BENCH=OFF -DZENROOK_POSTAL_DICTIONARY=OFF >/dev/null
	@cmake --build $(ASAN_DIR) -j2
	cd $(ASAN_DIR) && $(XVFB) ctest -L unit --output-on-failure

bench: build
	$(BUILD_DIR)/bench/zenrook_bench
	python3 bench/postal-lists $(BUILD_DIR)
	python3 bench/postal-print $(BUILD_DIR)
	bench/startup $(BUILD_DIR)

fuzz-build: deps
	@cmake -S . -B $(FUZZ_DIR) -DZENROOK_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_DIR) -j2

# fuzz: a million inputs a target; fuzz-smoke: a few seeded seconds each.
fuzz: fuzz-build
	@for t in $(FUZZ_TARGETS); do tools/run-fuzz.sh $(FUZZ_DIR)/fuzz/$$t fuzz/seeds/$${t#fuzz_} -runs=$(FUZZ_RUNS) || exit 1; done

fuzz-smoke: fuzz-build
	@for t in $(FUZZ_TARGETS); do tools/run-fuzz.sh $(FUZZ_DIR)/fuzz/$$t fuzz/seeds/$${t#fuzz_} -seed=1 -max_total_time=4 || exit 1; done

install: build
	cmake --install $(BUILD_DIR)

package: build
	cd $(BUILD_DIR) && cpack

# The package installed, run and purged on a clean Debian 12 root (root or
# sudo; several hundred MB of downloads on the first run).
package-check: package
	@bash tools/package-check.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
