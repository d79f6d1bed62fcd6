# Front door. On a fresh Debian 12 machine (as root, or with sudo):
#   make run    builds and starts Framewright
#   make test   builds and runs the whole test suite (with ASan and UBSan)
#   make bench  builds with optimisation and runs the benchmarks
#   make package  builds the Debian package and checks it
#   make fuzz   fuzzes the bitmap reader with clang's libFuzzer (FUZZ_SECONDS=600)

JOBS      ?= $(shell nproc)
BUILD     ?= build
TESTBUILD ?= build-asan
PKGBUILD  ?= build-pkg
FUZZBUILD ?= build-fuzz
FUZZ_SECONDS ?= 600

.PHONY: deps configure build run test bench package fuzz clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DFW_BUILD_TESTS=OFF

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-sandbox.sh $(BUILD)

test: deps
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFW_SANITIZE=ON -DFW_BUILD_BENCH=OFF
	cmake --build $(TESTBUILD) -j $(JOBS)
	cd $(TESTBUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	./scripts/run-bench.sh $(BUILD)

# Built with Debian's hardening flags, as the archive's packages are; then
# validated, unpacked and started by scripts/check-package.sh.
package:
	./scripts/install-deps.sh package
	cmake -S . -B $(PKGBUILD) -DCMAKE_BUILD_TYPE=Release -DFW_BUILD_TESTS=OFF -DFW_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PKGBUILD) -j $(JOBS)
	cd $(PKGBUILD) && cpack -G DEB
	./scripts/check-package.sh "$$(ls -t $(PKGBUILD)/*.deb | head -n 1)"

# A build of its own with clang, so the g++ builds above are untouched.
fuzz: deps
	./scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZBUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFW_FUZZ=ON -DFW_BUILD_BENCH=OFF
	cmake --build $(FUZZBUILD) -j $(JOBS) --target fuzz_bmp test_bmp_decoder
	./scripts/run-fuzz.sh $(FUZZBUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(TESTBUILD) $(PKGBUILD) $(FUZZBUILD)
