# Front door. On a fresh Debian 12 machine (as root, or with sudo):
#   make run    builds and starts Framewright
#   make test   builds and runs the whole test suite (with ASan and UBSan)
#   make bench  builds with optimisation and runs the benchmarks
#   make fuzz   fuzzes the bitmap reader with clang's libFuzzer (FUZZ_SECONDS=600)

JOBS      ?= $(shell nproc)
BUILD     ?= build
TESTBUILD ?= build-asan
FUZZBUILD ?= build-fuzz
FUZZ_SECONDS ?= 600

.PHONY: deps configure build run test bench fuzz clean

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

# A build of its own with clang, so the g++ builds above are untouched.
fuzz: deps
	./scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZBUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFW_FUZZ=ON -DFW_BUILD_BENCH=OFF
	cmake --build $(FUZZBUILD) -j $(JOBS) --target fuzz_bmp test_bmp_decoder
	./scripts/run-fuzz.sh $(FUZZBUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(TESTBUILD) $(FUZZBUILD)
