# Thin layer over CMake: installs the Debian packages, configures, builds, runs and tests.

BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
# Feed address compiled into the game; empty keeps the project's default address.
FEED_URL   ?=
# The two programs `make run` needs; `make test` builds everything, the test suites included.
PROGRAMS := tavrin tavrin-replay
# ON turns compiler warnings into errors (CI does).
WERROR     ?= OFF
# Tests and their runs of the game never leave this machine: nothing listens on this port.
TEST_FEED_URL := http://127.0.0.1:9/g/g.xml

CMAKE_CONFIGURE = cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

.PHONY: all packages build run test clean

all: build

packages:
	@tools/install-packages packages.txt

build: packages
	@if [ -n "$(FEED_URL)" ]; then \
	    $(CMAKE_CONFIGURE) -DTAVRIN_FEED_URL="$(FEED_URL)"; \
	else \
	    $(CMAKE_CONFIGURE) -UTAVRIN_FEED_URL; \
	fi
	cmake --build $(BUILD_DIR) --target $(PROGRAMS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); run it from a desktop session." >&2; \
	    exit 1; \
	fi
	$(BUILD_DIR)/src/app/tavrin

test: packages
	$(CMAKE_CONFIGURE) -DTAVRIN_FEED_URL="$(TEST_FEED_URL)" -DTAVRIN_WERROR=$(WERROR)
	cmake --build $(BUILD_DIR)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j 2

clean:
	rm -rf $(BUILD_DIR)

# --- Sanitizer build and fuzzing ---------------------------------------------------------------

ASAN_BUILD_DIR := build-asan
FUZZ_BUILD_DIR := build-fuzz
# Seconds each fuzz target runs under `make fuzz`; `make fuzz-short` is the CI's shorter run.
FUZZ_SECONDS ?= 60
FUZZ_SHORT_SECONDS := 30
FUZZ_TARGETS := fuzz_feed fuzz_game_flow fuzz_record
FUZZ_TIMEOUT := 2
FUZZ_RSS_MB  := 1024

# Leaks are reported, except those the suppressions file attributes to system libraries.
SANITIZER_ENV = \
    ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1 \
    LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: test-asan fuzz fuzz-short

test-asan: packages
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	    -DTAVRIN_SANITIZE=ON -DTAVRIN_FEED_URL="$(TEST_FEED_URL)"
	cmake --build $(ASAN_BUILD_DIR)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure -j 2

fuzz: packages
	@$(MAKE) --no-print-directory fuzz-run FUZZ_RUN_SECONDS=$(FUZZ_SECONDS)

fuzz-short: packages
	@$(MAKE) --no-print-directory fuzz-run FUZZ_RUN_SECONDS=$(FUZZ_SHORT_SECONDS)

# Runs every fuzz target for FUZZ_RUN_SECONDS. New inputs go to the build folder, never to the
# seed corpus in the repository; a crashing input is kept in $(FUZZ_BUILD_DIR)/artifacts. An input
# that takes more than FUZZ_TIMEOUT seconds, or a process that grows past FUZZ_RSS_MB megabytes,
# counts as a failure: under the sanitizers a feed of 1 MiB of any shape parses in about 0.3 s,
# and 30-second runs of every target peak under 800 MB (most of it the sanitizer's quarantine).
.PHONY: fuzz-run
fuzz-run:
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTAVRIN_FUZZ=ON \
	    -DTAVRIN_FEED_URL="$(TEST_FEED_URL)"
	cmake --build $(FUZZ_BUILD_DIR) --target $(FUZZ_TARGETS)
	@set -e; for target in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_BUILD_DIR)/corpus/$$target $(FUZZ_BUILD_DIR)/artifacts $(FUZZ_BUILD_DIR)/tmp; \
	    echo "== $$target: $(FUZZ_RUN_SECONDS) s"; \
	    TMPDIR=$(CURDIR)/$(FUZZ_BUILD_DIR)/tmp QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) \
	        $(FUZZ_BUILD_DIR)/fuzz/$$target -max_total_time=$(FUZZ_RUN_SECONDS) -timeout=$(FUZZ_TIMEOUT) \
	        -rss_limit_mb=$(FUZZ_RSS_MB) \
	        -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD_DIR)/artifacts/$$target- \
	        $(FUZZ_BUILD_DIR)/corpus/$$target fuzz/corpus/$$target; \
	done

# --- Debian package --------------------------------------------------------------------------

RELEASE_BUILD_DIR := build-release

.PHONY: package

# Release build with the project's default feed address; the .deb is left in $(RELEASE_BUILD_DIR).
package: packages
	cmake -S . -B $(RELEASE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -UTAVRIN_FEED_URL
	cmake --build $(RELEASE_BUILD_DIR)
	cd $(RELEASE_BUILD_DIR) && cpack -G DEB

# --- Benchmarks --------------------------------------------------------------------------------

BENCH_BUILD_DIR := build-bench
# Programs `make bench` runs, in this order; the window ones draw offscreen.
BENCH_PROGRAMS := bench_engine bench_flow bench_feed bench_startup

.PHONY: bench

bench: packages
	cmake -S . -B $(BENCH_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BENCH=ON \
	    -DTAVRIN_FEED_URL="$(TEST_FEED_URL)"
	cmake --build $(BENCH_BUILD_DIR) --target benchmarks
	@set -e; for program in $(BENCH_PROGRAMS); do \
	    echo "== $$program"; \
	    QT_QPA_PLATFORM=offscreen $(BENCH_BUILD_DIR)/bench/$$program; \
	done
