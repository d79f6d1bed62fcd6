# Front door. On a fresh Debian 12 machine (as root, or with sudo):
#   make run    builds and starts Framewright
#   make test   builds and runs the whole test suite (with ASan and UBSan)
#   make bench  builds with optimisation and runs the benchmarks
#   make package  builds the Debian package and checks it
#   make fuzz   fuzzes every fuzz_<format> target with clang's libFuzzer
#               (FUZZ_SECONDS=600 each)
#   make windows       cross-builds the Windows programs, tests and installer
#                      (the libraries' first build takes about an hour)
#   make windows-test  runs the Windows tests and the installer under Wine
# Each build is a preset of CMakePresets.json (the build directory in
# brackets): release [build], sanitizer [build-asan], package [build-pkg],
# fuzz [build-fuzz], windows [build-windows].

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600
# CI builds the package with ci-package: -Werror and the benchmarks as well.
PKG_PRESET ?= package

.PHONY: deps configure build run test bench package fuzz windows windows-test clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake --preset release

build: configure
	cmake --build --preset release -j $(JOBS)

run: build
	./scripts/run-sandbox.sh build

test: deps
	cmake --preset sanitizer
	cmake --build --preset sanitizer -j $(JOBS)
	ctest --preset sanitizer -j $(JOBS)

bench: build
	./scripts/run-bench.sh build

# Built with Debian's hardening flags, as the archive's packages are; then
# validated, unpacked and started by scripts/check-package.sh.
package:
	./scripts/install-deps.sh package
	cmake --preset $(PKG_PRESET) \
	  -DCMAKE_CXX_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"
	cmake --build --preset $(PKG_PRESET) -j $(JOBS)
	cd build-pkg && cpack -G DEB
	./scripts/check-package.sh "$$(ls -t build-pkg/*.deb | head -n 1)"

# A build of its own with clang, so the g++ builds above are untouched; it
# builds only the fuzz targets and the tests that write their seeds.
fuzz: deps
	./scripts/install-deps.sh fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	./scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS)

# Built on this machine with mingw-w64 against Qt, libjpeg-turbo and
# GoogleTest from Debian's own sources (scripts/build-windows-deps.sh caches
# them outside the checkout).
windows:
	JOBS=$(JOBS) ./scripts/windows/build.sh

windows-test: windows
	JOBS=$(JOBS) ./scripts/windows/test.sh

clean:
	rm -rf build build-dev build-asan build-pkg build-fuzz build-windows
