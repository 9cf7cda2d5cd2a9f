# Quick start: `make run` converts the bundled example; `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps build run test bench sanitize fuzz clean

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/cli/pexol-cli to-text examples/demo.mpj -

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DPEXOL_BUILD_APP=OFF -DPEXOL_BUILD_TESTS=OFF
	cmake --build build-release -j $(JOBS) --target pexol_bench
	build-release/bench/pexol_bench

# Every test but the window's, under AddressSanitizer and UndefinedBehaviorSanitizer, with the
# standard library's own bounds checks on.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPEXOL_SANITIZE=ON -DPEXOL_BUILD_APP=OFF \
	  -DPEXOL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The fuzz targets, FUZZ_SECONDS each; findings land in tests/regressions/.
FUZZ_SECONDS ?= 60
fuzz: deps
	scripts/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-release build-asan build-fuzz
