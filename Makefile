# The two commands of the README: `make run` and `make test`. Every target installs
# what is missing first, so a fresh machine needs nothing else.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
WIN_BUILD  ?= build-windows
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: deps configure build test test-asan windows test-windows fuzz bench run format lint clean

deps:
	@./scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZK_BUILD_BENCH=OFF >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The native suite, the Windows leg under Wine, then the suite under the sanitizers.
test: build windows
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(run-windows-checks)
	$(run-asan-tests)

# The core, zkr.exe and core_tests.exe cross-built for Windows with MinGW-w64.
windows: deps
	@cmake -S . -B $(WIN_BUILD) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DZK_CORE_ONLY=ON -DZK_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS)

# The Windows build under Wine: the core tests, then zkr.exe against the Linux zkr.
define run-windows-checks
@./scripts/wine-run $(WIN_BUILD) $(WIN_BUILD)/tests/core_tests.exe --gtest_brief=1
@./scripts/check-windows-identical $(BUILD) $(WIN_BUILD)
endef

test-windows: build windows
	$(run-windows-checks)

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer: any report fails it.
define run-asan-tests
@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZK_SANITIZE=ON -DZK_BUILD_BENCH=OFF >/dev/null
@cmake --build $(ASAN_BUILD) -j $(JOBS)
@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j $(JOBS)
endef

test-asan: deps
	$(run-asan-tests)

# Each libFuzzer target for FUZZ_SECONDS from seeds of the simulated scenarios; crashes are
# left in $(FUZZ_BUILD)/crashes/.
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZK_FUZZ=ON -DZK_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	@./scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: deps
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target zk_bench zkr
	@$(BENCH_BUILD)/bench/zk_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true $(BENCH_ARGS)

run: build
	@./scripts/run-demo $(BUILD)

format: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

lint: configure
	@git ls-files 'record/*.cpp' 'pd/*.cpp' 'sim/*.cpp' 'tools/*.cpp' 'cli/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(WIN_BUILD) $(FUZZ_BUILD)
