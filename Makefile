# The two everyday commands are `make run` and `make test`; both set up what is missing first.
PRESET ?= dev
BUILD := build/$(PRESET)
DEPS_STAMP := build/.deps-installed

.PHONY: all deps configure build run test test-linux test-asan test-tsan test-windows windows package-windows installer-windows run-windows screenshot-windows fuzz bench package package-rpm screenshot \
	format format-check clean

all: build

# Installing is skipped while the stamp is newer than the list of packages.
$(DEPS_STAMP): scripts/install-deps
	scripts/install-deps
	@mkdir -p build && touch $@

deps: $(DEPS_STAMP)

$(BUILD)/build.ninja: $(DEPS_STAMP) CMakeLists.txt CMakePresets.json tests/CMakeLists.txt
	cmake --preset $(PRESET)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build --preset $(PRESET)

# Only what the window needs is built: the program, its sample files and pointer files.
run: configure
	cmake --build --preset $(PRESET) --target gantrylux gantrylux_skin
	$(BUILD)/gantrylux

# Every test: the native ones, then the core's under Wine.
test: test-linux test-windows

# The native tests of one preset (dev unless PRESET says otherwise).
test-linux: build
	ctest --preset $(PRESET)

test-tsan:
	$(MAKE) test-linux PRESET=tsan

test-asan:
	$(MAKE) test-linux PRESET=asan

# The core and its tests cross-built for Windows and run under Wine (installs what is missing).
test-windows:
	scripts/test-windows

# The Windows program, cross-built: build/windows-release/gantrylux.exe with its files beside it.
windows:
	scripts/install-deps windows
	cmake --preset windows-release
	cmake --build --preset windows-release

# The Windows program's folder as build/windows-release/gantrylux-<version>-win64.zip.
package-windows: windows
	cd build/windows-release && cpack -G ZIP

# The Windows installer: build/windows-release/gantrylux-<version>-win64-setup.exe, a 64-bit
# setup program that installs for the current user.
installer-windows: windows
	scripts/build-installer-windows

# The Windows program under Wine, on the display (or a private one when there is none).
run-windows: windows
	scripts/windows-window run

screenshot-windows: windows
	scripts/windows-window screenshot docs/main-window-windows.png
	scripts/windows-window screenshot docs/main-window-windows-dark.png dark

# The parsers under libFuzzer, each for FUZZ_SECONDS; apart from `make test`, which replays the
# seed corpus only.
FUZZ_SECONDS ?= 60
fuzz:
	scripts/install-deps fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz build/fuzz

# The Debian package of the release build: build/release/gantrylux_<version>_<arch>.deb.
package:
	$(MAKE) build PRESET=release
	cd build/release && cpack -G DEB

# The RPM package of the release build: build/release/gantrylux-<version>-1.x86_64.rpm.
package-rpm:
	$(MAKE) build PRESET=release
	cd build/release && cpack -G RPM

# Speed and memory against reference tools, on an optimised build.
bench:
	$(MAKE) build PRESET=release
	bench/run-bench build/release

screenshot: build
	scripts/screenshot $(BUILD)/gantrylux docs/main-window.png
	scripts/screenshot $(BUILD)/gantrylux docs/main-window-skin.png assets/x/o.cjs
	scripts/screenshot --dark $(BUILD)/gantrylux docs/main-window-dark.png
	scripts/screenshot --dark $(BUILD)/gantrylux docs/main-window-skin-dark.png assets/x/o.cjs
	scripts/screenshot --row-menu $(BUILD)/gantrylux docs/row-menu.png

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf build
