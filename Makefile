# The two commands a newcomer needs: `make run` and `make test`.
SHELL := /bin/bash
BUILD       ?= build
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 30
GEN_RECORDING = samples/ZelvoBB.DAT

# A compiler cache where one is installed, shared by every checkout of the tree.
ifneq ($(shell command -v ccache 2>/dev/null),)
export CMAKE_C_COMPILER_LAUNCHER := ccache
export CMAKE_CXX_COMPILER_LAUNCHER := ccache
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
endif

.PHONY: all deps build run demo test bench sanitize fuzz screenshot package windows windows-test clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The window where there is a display, else the headless demo on the bundled sample.
run: build
	@if [ -x $(BUILD)/krelby ] && [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/krelby; \
	else \
	  echo "No display: running the headless demo."; \
	  $(MAKE) --no-print-directory demo; \
	fi

demo: build
	@folder=$$(mktemp -d /tmp/krelby-demo.XXXXXX); \
	echo "Importing $(GEN_RECORDING) into $$folder"; \
	$(BUILD)/krelby-cli import $(GEN_RECORDING) --folder $$folder && \
	echo "Flight files:" && ls -l $$folder/Flights_INT && \
	echo "Logbook:" && $(BUILD)/krelby-cli flights --folder $$folder

# The window under Xvfb: imports the sample recording, shows a flight, saves build/screenshot.png,
# the chart printed to build/print.pdf (rasterised into build/print.png) and the window after
# a wheel zoom, build/zoomed.png, a span marked with its table, build/span.png (printed,
# span-print.png), F1's sheet, build/shortcuts.png, the Logbook, build/logbook.png, its trends over months of
# generated flights, build/trends.png, the strip view, build/strips.png, with the track
# pane, build/track.png, the pane alone over its altitude profile, build/profile.png, and over tiles from a local tile server, build/map.png, and a
# 10-hour flight of four engine monitors in the strip view and the single chart at 780x612
# and maximised, build/strips-long.png, strips-long-max.png, single-long.png and
# single-long-max.png, and the Engine pane's Lean test of a generated flight with a sweep
# on two monitors, build/engine.png; and the pages of the flight report of the sample's first
# flight and of a ten-hour generated one, build/report-1.png ... and report-long-1.png ...
screenshot: build
	@[ -f $(GEN_RECORDING) ] || { echo "$(GEN_RECORDING) is missing"; exit 1; }
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/krelby-screenshot $(GEN_RECORDING) $(BUILD)/screenshot.png
	pdftoppm -png -r 100 -singlefile $(BUILD)/print.pdf $(BUILD)/print
	pdftoppm -png -r 100 -singlefile $(BUILD)/strips-print.pdf $(BUILD)/strips-print
	pdftoppm -png -r 100 -singlefile $(BUILD)/span-print.pdf $(BUILD)/span-print
	tools/report_pages.sh $(BUILD) $(GEN_RECORDING)
	@echo "Saved $(BUILD)/screenshot.png, print.png, zoomed.png, span.png, span-print.png, shortcuts.png, logbook.png, strips.png, exceedances.png, trends.png, track.png, profile.png, map.png, strips-long.png, strips-long-max.png, single-long.png, single-long-max.png, engine.png, report-*.png and report-long-*.png"

# The Debian package: build/krelby_VERSION-1_amd64.deb, installed under /usr.
package: build
	cd $(BUILD) && cpack -G DEB

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build-release -j $(JOBS) --target krelby_bench
	build-release/krelby_bench
	@if grep -q '^build krelby_bench_app:' build-release/build.ninja; then \
	  cmake --build build-release -j $(JOBS) --target krelby_bench_app && \
	  QT_QPA_PLATFORM=offscreen build-release/krelby_bench_app; \
	fi
	@if grep -q '^build krelby_bench_startup:' build-release/build.ninja; then \
	  cmake --build build-release -j $(JOBS) --target krelby_bench_startup && \
	  QT_QPA_PLATFORM=offscreen build-release/krelby_bench_startup; \
	fi

# The command-line program, the generator and the core's tests for 64-bit Windows (mingw-w64),
# linked statically.
windows: deps
	cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)
	cmake --build build-win -j $(JOBS) --target krelby-cli krelby-gen krelby_tests

# The Windows build under wine, compared byte for byte with the Linux build.
windows-test: build windows
	tools/windows-test $(BUILD) build-win

# The core's tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKRELBY_SANITIZE=ON \
	  -DKRELBY_WITH_APP=OFF -DKRELBY_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Bounded libFuzzer runs, FUZZ_SECONDS each, seeded from fuzz/corpus/NAME when present.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKRELBY_FUZZ=ON -DKRELBY_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)
	@set -eo pipefail; for f in build-fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; name=$$(basename $$f); \
	  mkdir -p build-fuzz/corpus/$$name; \
	  seeds=""; [ -d fuzz/corpus/$$name ] && seeds=fuzz/corpus/$$name; \
	  echo "fuzzing $$name for $(FUZZ_SECONDS)s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -print_final_stats=1 \
	    build-fuzz/corpus/$$name $$seeds 2>&1 | tail -n 12; \
	done

clean:
	rm -rf $(BUILD) build-release build-asan build-fuzz build-win build-package
