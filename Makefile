# Thin layer over CMake: installs the Debian packages, configures, builds, runs and tests.

BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
# Feed address compiled into the game; empty keeps the project's default address.
FEED_URL   ?=
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
	cmake --build $(BUILD_DIR)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); run it from a desktop session." >&2; \
	    exit 1; \
	fi
	$(BUILD_DIR)/src/app/tavrin

test: packages
	$(CMAKE_CONFIGURE) -DTAVRIN_FEED_URL="$(TEST_FEED_URL)"
	cmake --build $(BUILD_DIR)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j 2

clean:
	rm -rf $(BUILD_DIR)

# --- Debian package --------------------------------------------------------------------------

RELEASE_BUILD_DIR := build-release

.PHONY: package

# Release build with the project's default feed address; the .deb is left in $(RELEASE_BUILD_DIR).
package: packages
	cmake -S . -B $(RELEASE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -UTAVRIN_FEED_URL
	cmake --build $(RELEASE_BUILD_DIR)
	cd $(RELEASE_BUILD_DIR) && cpack -G DEB
