# Flowball: set-up, builds and tests.
#
#   make test    installs what is missing (Debian 12), then builds and runs the
#                tests of four build folders: build/native, build/asan,
#                build/win64 (64-bit Windows, its tests under Wine) and
#                build/win32 (32-bit Windows: its binary checks everywhere,
#                its tests under Wine only where 32-bit programs run)
#   make build   the native and Windows builds, no tests
#   make bench   the benchmarks, built in build/release
#   make package the Debian package of the X11 program, in build/native
#   make dist    the Windows release in dist/: both installers, the zip
#                archive and SHA256SUMS, from both Windows builds
#   make clean   removes every build folder and dist/
#
# Single stages: test-native, test-asan, test-win64, test-win32.
#
#   make run        the 64-bit Windows saver under Wine (RUN_WIN=win32 for the
#                   32-bit one, where this machine runs 32-bit programs)
#   make run-linux  the native program: on your Wayland desktop, your X
#                   display or a virtual one (LINUX_RUN_ARGS: its options)
#   make perf       what each frame costs, flowball beside a minimal GL program
#                   under 64-bit Wine, on X11 and on Wayland (PERF_ARGS: the
#                   script's options); a measurement, not a test
#   make perf-settings  the settings window's start to its first preview
#                   frame and its processor use while previewing, beside
#                   the saver's at FrameRate 2, on headless sway; a
#                   measurement
#   make fuzz       builds the fuzz targets with clang's libFuzzer in
#                   build/fuzz and runs each for FUZZ_SECONDS (default 60):
#                   executions, corpus, coverage and any fault's input
#                   (FUZZ_ARGS: the script's options, such as target names)
#   make soak       the X11 program and the 64-bit saver under Wine side by
#                   side for SOAK_MINUTES (default 30), every element on:
#                   memory, files, threads and handles every 30 s, and a
#                   verdict (SOAK_ARGS: the script's options); a measurement

SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c
# The stages share two cores and each build uses both: one stage at a time.
.NOTPARALLEL:

JOBS ?= 2
BENCH_ARGS ?=

CTEST := ctest --output-on-failure --no-tests=error -j$(JOBS)
WIN32_TOOLCHAIN := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
WIN64_TOOLCHAIN := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake

# The sanitizers stop the test at their first report, with a stack trace.
SANITIZER_ENV := ASAN_OPTIONS=halt_on_error=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

stage = @printf '\n==== %s ====\n' $(1)

.PHONY: test build bench dist clean setup \
        test-native test-asan test-win64 test-win32 \
        build-native build-asan build-win64 build-win32 build-release

# A failing stage does not stop the others (-k), so one run reports every
# failure; make test fails when any stage does.
test:
	$(MAKE) --no-print-directory -k test-native test-asan test-win64 test-win32

build: build-native build-win64 build-win32

setup:
	$(call stage,"set-up: packages")
	scripts/setup-debian.sh

build-native: setup
	$(call stage,"native: configure and build (build/native)")
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/native -j$(JOBS)

build-asan: setup
	$(call stage,"asan: configure and build with sanitizers (build/asan)")
	cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DFLOWBALL_SANITIZE=ON
	cmake --build build/asan -j$(JOBS)

build-win64: setup
	$(call stage,"win64: configure and cross-build (build/win64)")
	cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WIN64_TOOLCHAIN)
	cmake --build build/win64 -j$(JOBS)

build-win32: setup
	$(call stage,"win32: configure and cross-build (build/win32)")
	cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WIN32_TOOLCHAIN)
	cmake --build build/win32 -j$(JOBS)

build-release: setup
	$(call stage,"release: configure and build the benchmarks (build/release)")
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j$(JOBS) --target flowball-bench

test-native: build-native
	$(call stage,"native: tests")
	$(CTEST) --test-dir build/native

test-asan: build-asan
	$(call stage,"asan: tests under AddressSanitizer and UndefinedBehaviorSanitizer")
	$(SANITIZER_ENV) $(CTEST) --test-dir build/asan

# The Wine session (wineserver and Xvfb) is ended even when a test fails or
# the run is interrupted.
test-win64: build-win64
	$(call stage,"win64: tests under 64-bit Wine")
	trap 'scripts/wine-session.sh stop build/win64' EXIT; $(CTEST) --test-dir build/win64

# Where this machine cannot run 32-bit programs, ctest reports the tests that
# run them as skipped; the checks of the binaries run everywhere.
test-win32: build-win32
	$(call stage,"win32: binary checks; tests under 32-bit Wine where it runs")
	if ! scripts/can-run-32bit.sh; then \
	    echo "win32: this machine cannot run 32-bit programs: the 32-bit build's Wine tests are skipped, its binary checks run"; \
	fi
	trap 'scripts/wine-session.sh stop build/win32' EXIT; $(CTEST) --test-dir build/win32

bench: build-release
	$(call stage,"benchmarks")
	build/release/bench/flowball-bench $(BENCH_ARGS)

# The same bytes from every build of one commit (see packaging/windows/).
dist: build-win64 build-win32
	$(call stage,"dist: Windows installers and archive (dist/)")
	python3 packaging/windows/package.py dist --build-dir build/win64 --build-dir build/win32 --out dist

clean:
	for dir in build/win64 build/win32; do \
	    if [[ -d $$dir ]]; then scripts/wine-session.sh stop $$dir; fi; \
	done
	rm -rf build dist

package: build-native
	$(call stage,"package: the Debian package of the X11 program")
	cd build/native && cpack -G DEB
	@echo "package: build/native/flowball_*_amd64.deb"

# The native X11 program: in a window on your display when there is one,
# else on a virtual display with a screenshot (see README). LINUX_RUN_ARGS are
# its options.
.PHONY: run-linux package
run-linux: build-native
	$(call stage,"run-linux: the X11 program")
	scripts/run-linux.sh build/native $(LINUX_RUN_ARGS)

# The saver under Wine: on your display when there is one, else on a virtual
# display with a screenshot (see README). RUN_ARGS picks the mode: /s (the
# default), /c, or --preview for the preview host. RUN_WIN picks the build:
# win64 (the default, runs on every x86-64 Linux) or win32 (only where this
# machine runs 32-bit programs).
RUN_ARGS ?= /s
RUN_WIN ?= win64
LINUX_RUN_ARGS ?=
.PHONY: run
run: build-$(RUN_WIN)
	$(call stage,"run: flowball.scr ($(RUN_WIN)) under Wine")
	scripts/run-saver.sh build/$(RUN_WIN) $(RUN_ARGS)

# The table of README's "What each FrameRate costs": each run on a virtual
# display of its own, so it needs no display of yours.
PERF_ARGS ?=
.PHONY: perf
perf: build-native build-win64
	$(call stage,"perf: flowball beside a minimal GL program")
	python3 scripts/measure-frames.py --native-build build/native --win-build build/win64 $(PERF_ARGS)

.PHONY: perf-settings
perf-settings: build-native
	$(call stage,"perf-settings: the settings window's preview beside the saver")
	python3 scripts/measure-settings-window.py --build build/native

# The long run of README's "Hours of running": each program on a virtual
# display of its own, so it needs no display of yours.
SOAK_MINUTES ?= 30
SOAK_ARGS ?=
.PHONY: soak
soak: build-native build-win64
	$(call stage,"soak: both programs for $(SOAK_MINUTES) minutes with every element on")
	python3 scripts/soak.py --native-build build/native --win-build build/win64 --minutes $(SOAK_MINUTES) $(SOAK_ARGS)

# The fuzz targets (tests/fuzz/) with clang and libFuzzer, in a build folder
# of their own; make test replays their corpora in the test builds.
FUZZ_SECONDS ?= 60
# Targets run at once; each takes one core for FUZZ_SECONDS.
FUZZ_JOBS ?= 1
FUZZ_ARGS ?=
.PHONY: fuzz build-fuzz
build-fuzz: setup
	$(call stage,"fuzz: configure and build the fuzz targets with clang (build/fuzz)")
	cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLOWBALL_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build/fuzz -j$(JOBS) --target fuzz-targets

fuzz: build-fuzz
	$(call stage,"fuzz: each target for $(FUZZ_SECONDS) s")
	python3 scripts/fuzz.py --build build/fuzz --seconds $(FUZZ_SECONDS) --jobs $(FUZZ_JOBS) $(FUZZ_ARGS)
