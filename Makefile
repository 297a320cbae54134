# Thin wrapper over the CMake presets (see CMakePresets.json).
#   make demo   build the host and the plug-in and run a full pushback in the simulated host (out/demo/)
#   make test   build and run every test
#   make bench  build and run the benchmarks; each comparison ends with "<name>: <figure> (goal <goal>)"
#   make soak   a million random operations on the real plug-in (SOAK_OPERATIONS, SOAK_SEED)
#   make readme-pictures  the demo, then the README's small pictures in docs/images/ from it
#   make windows  the Windows plug-in, cross-built with mingw-w64 (build/windows/src/shell/win_x64/)
#   make test-windows  the Windows plug-in and host tested under Wine (unit tests, scenarios, soak)
#   make package  dist/Tarvosk-<version>.zip (lin_x64 and win_x64), the Linux plug-in built in a
#               cached Debian 11 root (glibc 2.31; tools/build-portable.sh, needs root or sudo)
JOBS ?= $(shell nproc)

.PHONY: all demo readme-pictures test bench soak asan-test fuzz-smoke package format clean \
        windows test-windows

# Each target installs the Debian packages it needs first (tools/ensure-deps.sh, silent when
# they are there), then configures its tree once.
DEPS = @tools/ensure-deps.sh
configure = @[ -f build/$(1)/build.ninja ] || cmake --preset $(1)

all:
	$(DEPS) dev
	$(call configure,dev)
	cmake --build --preset dev -j $(JOBS)

# The demo needs the host, the plug-in and the generated content, not the tests.
demo:
	$(DEPS) demo
	$(call configure,release)
	cmake --build --preset release -j $(JOBS) --target tarvosk-sim Tarvosk tarvosk_content
	tools/run-demo.sh build/release out/demo

readme-pictures: demo
	tools/readme-pictures.sh build/release out/demo docs/images

test:
	$(DEPS) test
	$(call configure,dev)
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev -j $(JOBS)

SOAK_OPERATIONS ?= 1000000
SOAK_SEED ?= $(shell date +%s)
soak:
	$(DEPS) soak
	$(call configure,release)
	cmake --build --preset release -j $(JOBS) --target tarvosk-sim Tarvosk tarvosk_content
	build/release/simhost/tarvosk-sim --soak $(SOAK_OPERATIONS) --seed $(SOAK_SEED) \
	    --plugin build/release/src/shell/Tarvosk.xpl --content build/release/content/Tarvosk \
	    --sandbox out/soak-sandbox

asan-test:
	$(DEPS) asan
	$(call configure,asan)
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench:
	$(DEPS) bench
	$(call configure,release)
	cmake --build --preset release -j $(JOBS)
	bench/run-all.sh build/release

fuzz-smoke:
	$(DEPS) fuzz
	$(call configure,fuzz)
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run-smoke.sh build/fuzz $${FUZZ_SECONDS:-60}

package: windows
	$(DEPS) package
	$(call configure,package)
	tools/build-portable.sh build/portable
	cmake --build --preset package -j $(JOBS) --target tarvosk_content
	tools/make-package.sh build/package dist

# The Windows plug-in, cross-built with mingw-w64: build/windows/src/shell/win_x64/Tarvosk.xpl,
# checked for its exports, its imports and the host names against the official SDK.
windows:
	$(DEPS) windows
	tools/mingw-libs.sh build/mingw-libs
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target Tarvosk
	tools/check-windows-plugin.sh build/windows/src/shell/win_x64/Tarvosk.xpl

# Under Wine: the cross-built unit tests of the host-free libraries, and the Windows plug-in in
# the simulated host built for Windows (every scenario, a non-ASCII folder, the soak). The data
# folder comes from the Linux build. Then the demo under Wine on a virtual display, with its
# pictures (out/demo-windows/).
test-windows: windows
	$(DEPS) test
	$(call configure,dev)
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
