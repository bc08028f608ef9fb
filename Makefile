# make test  - install what is missing, build the normal and the sanitizer configuration, run every test
# make check - the quick loop: the normal build and its tests only
# make run   - install what is missing, build and start the program
# make bench - build and run the benchmarks
# make fuzz-long FUZZ_SECONDS=3600 - fuzz the whole program with user actions for that long
JOBS ?= $(shell nproc)

.PHONY: deps build build-asan check test test-normal test-asan run bench fuzz fuzz-long clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPW_SANITIZE=ON -DPW_WITH_BENCH=OFF
	cmake --build build-asan -j $(JOBS)

check: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-normal: build
	ctest --test-dir build --output-on-failure -j $(JOBS)
	./build/bench/pixelwright-bench --benchmark_filter='BM_StrokeHard|BM_PaintViewPhoto/100' --benchmark_min_time=0.01

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure -j $(JOBS)

test: test-normal test-asan
	@if [ -x scripts/fuzz ]; then ./scripts/fuzz; fi
	@echo "All tests passed."

run: build
	./build/src/pixelwright $(ARGS)

bench: build
	./build/bench/pixelwright-bench

FUZZ_SECONDS ?= 3600
fuzz-long: deps
	./scripts/fuzz --long $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan build-fuzz
