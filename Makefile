# Thin wrapper over the CMake presets (see CMakePresets.json).
#   make demo   build everything and run a full pushback in the simulated host (out/demo/)
#   make test   build and run every test
#   make bench  build and run the benchmarks; each comparison ends with "<name>: <figure> (goal <goal>)"
#   make soak   a million random operations on the real plug-in (SOAK_OPERATIONS, SOAK_SEED)
#   make windows  the Windows plug-in, cross-built with mingw-w64 (build/windows/src/shell/win_x64/)
#   make test-windows  the unit tests cross-built for Windows, run through Wine
#   make package  dist/Tarvosk-<version>.zip (lin_x64 and win_x64), the Linux plug-in built in a cached Debian 11
#               root (glibc 2.31; tools/build-portable.sh, needs root or sudo the first time)
JOBS ?= $(shell nproc)

.PHONY: all deps demo test bench soak asan-test fuzz-smoke package format clean windows test-windows

all: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev -j $(JOBS)

deps:
	@tools/ensure-deps.sh

build/%/build.ninja: | deps
	cmake --preset $*

demo: deps build/release/build.ninja
	cmake --build --preset release -j $(JOBS)
	tools/run-demo.sh build/release out/demo

test: deps build/dev/build.ninja
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev -j $(JOBS)

SOAK_OPERATIONS ?= 1000000
SOAK_SEED ?= $(shell date +%s)
soak: deps build/release/build.ninja
	cmake --build --preset release -j $(JOBS) --target tarvosk-sim Tarvosk tarvosk_content
	build/release/simhost/tarvosk-sim --soak $(SOAK_OPERATIONS) --seed $(SOAK_SEED) \
	    --plugin build/release/src/shell/Tarvosk.xpl --content build/release/content/Tarvosk \
	    --sandbox out/soak-sandbox

asan-test: deps build/asan/build.ninja
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: deps build/release/build.ninja
	cmake --build --preset release -j $(JOBS)
	bench/run-all.sh build/release

fuzz-smoke: deps build/fuzz/build.ninja
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run-smoke.sh build/fuzz $${FUZZ_SECONDS:-60}

package: deps windows build/package/build.ninja
	tools/build-portable.sh build/portable
	cmake --build --preset package -j $(JOBS) --target tarvosk_content
	tools/make-package.sh build/package dist

# The Windows plug-in, cross-built with mingw-w64: build/windows/src/shell/win_x64/Tarvosk.xpl,
# checked for its exports, its imports and the host names against the official SDK.
windows:
	tools/ensure-deps.sh windows
	tools/mingw-libs.sh build/mingw-libs
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target Tarvosk
	tools/check-windows-plugin.sh build/windows/src/shell/win_x64/Tarvosk.xpl

# Under Wine: the cross-built unit tests of the host-free libraries, and the Windows plug-in in
# the simulated host built for Windows (every scenario, a non-ASCII folder, the soak). The data
# folder comes from the Linux build. Then the demo under Wine on a virtual display, with its
# pictures (out/demo-windows/).
test-windows: windows build/dev/build.ninja
	cmake --build --preset dev -j $(JOBS) --target tarvosk_content
	cmake --preset windows -DTARVOSK_CONTENT_DIR=$(CURDIR)/build/dev/content/Tarvosk >/dev/null
	cmake --build --preset windows -j $(JOBS) --target tarvosk_windows_tests
	JOBS=$(JOBS) tools/test-windows.sh build/windows
	cmake --build --preset dev -j $(JOBS) --target tarvosk-sim Tarvosk
	tools/demo-windows.sh build/windows build/dev out/demo-windows

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out dist
