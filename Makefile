# Quick start: `make run` converts the bundled example; `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Source files are compiled in batches, which halves a clean build; UNITY=OFF compiles them one by
# one, for quicker rebuilds while editing a single file.
UNITY ?= ON
CONFIGURE_FLAGS = -DCMAKE_UNITY_BUILD=$(UNITY) $(CMAKE_FLAGS)

.PHONY: deps build run test bench sanitize fuzz clean windows test-windows windows-deps package \
  windows-screenshots editor-screenshots

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CONFIGURE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/cli/pexol-cli to-text examples/demo.mpj - --encoding utf-8

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DPEXOL_BUILD_APP=OFF -DPEXOL_BUILD_TESTS=OFF
	cmake --build build-release -j $(JOBS) --target pexol_bench
	build-release/bench/pexol_bench

# Every test but the window's, under AddressSanitizer and UndefinedBehaviorSanitizer, with the
# standard library's own bounds checks on; the stops sent at a hundred moments and the three
# renders of 700 frames in ranges run once, in the plain build (a render under the sanitizers is
# many times slower, and what they run is sanitized by the other stop and range tests); so does
# the batch report measured in a browser, whose batch the other batch tests sanitize.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPEXOL_SANITIZE=ON -DPEXOL_BUILD_APP=OFF \
	  -DPEXOL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS $(CONFIGURE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) \
	  -E 'StopAtAnyMoment|RangesSideBySideMakeTheFileOneProcessMakes|ThePlanRunBy(Hand|GnuParallel)|batch_report_in_browser'

# The Debian package, dist/pexol_VERSION_ARCH.deb: both programs, the desktop entry and icons,
# the manual pages and the shell completions.
package: build
	cd $(BUILD) && cpack -G DEB -B $(abspath dist)
	rm -rf dist/_CPack_Packages

# The fuzz targets, FUZZ_SECONDS each; findings land in tests/regressions/.
FUZZ_SECONDS ?= 60
fuzz: deps
	scripts/fuzz $(FUZZ_SECONDS)

# Windows: pexol.exe (the window) and pexol-cli.exe cross-compiled with MinGW-w64, statically
# linked, and packed with their README and their catalogues (locale\ beside them); test-windows
# runs the Windows build's tests under Wine and compares its output with the Linux build's
# (LINUX_REFERENCE, built here when it is not yet).
WINDOWS_BUILD ?= build-windows
LINUX_REFERENCE ?= $(BUILD)
VERSION := $(shell sed -n 's/^project.pexol VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
WINDOWS_ZIP = dist/pexol-$(VERSION)-windows-x64.zip
WINDOWS_SETUP = dist/pexol-$(VERSION)-windows-x64-setup.exe

windows-deps:
	@PEXOL_WITH_WINDOWS=1 scripts/install-deps

$(WINDOWS_BUILD)/CMakeCache.txt:
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(CONFIGURE_FLAGS)

windows: deps windows-deps $(WINDOWS_BUILD)/CMakeCache.txt
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target pexol pexol-cli pexol_catalogues
	cmake "-DEXES=$(WINDOWS_BUILD)/pexol.exe;$(WINDOWS_BUILD)/cli/pexol-cli.exe" \
	  -DLOCALE=$(WINDOWS_BUILD)/locale -DZIP=$(WINDOWS_ZIP) -DSETUP=$(WINDOWS_SETUP) \
	  -DVERSION=$(VERSION) -P cmake/windows/PackWindows.cmake

test-windows: deps windows-deps $(WINDOWS_BUILD)/CMakeCache.txt
	@[ -f $(LINUX_REFERENCE)/CMakeCache.txt ] || \
	  cmake -S . -B $(LINUX_REFERENCE) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CONFIGURE_FLAGS)
	cmake --build $(LINUX_REFERENCE) -j $(JOBS) --target pexol-cli pexol-mkproject pexol-encoding-table \
	  pexol-aaf-bytes
	cmake -S . -B $(WINDOWS_BUILD) -DPEXOL_LINUX_REFERENCE=$(abspath $(LINUX_REFERENCE))
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	tests/windows/wine-session $(WINDOWS_BUILD) \
	  ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

# Shotcut and Kdenlive with the demo's exports, and the frames MLT renders, to docs/renders/.
editor-screenshots: build
	@PEXOL_WITH_EDITORS=1 scripts/install-deps
	scripts/editor-screenshots $(BUILD) docs/renders

# The Win32 window's pages at 100 % and 200 % DPI under Xvfb, to docs/screenshots/windows/.
windows-screenshots: windows
	tests/windows/screenshots $(WINDOWS_BUILD) docs/screenshots/windows

clean:
	rm -rf $(BUILD) build-release build-asan build-fuzz $(WINDOWS_BUILD) dist
