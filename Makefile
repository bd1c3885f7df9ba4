# Tarnwick: `make run` and `make test` are all a fresh Debian 12 machine needs.
JOBS ?= $(shell nproc)
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
THREAD_DIR ?= build-thread
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: deps build build-sanitize build-thread run package package-check test test-sanitize test-thread bench \
	bench-delete fuzz clean format

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

build-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTARNWICK_WERROR=ON \
		-DTARNWICK_SANITIZE=address,undefined -DTARNWICK_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_DIR) -j$(JOBS)

# ThreadSanitizer over the layers without Qt (core, platform, engine, cli) and their tests: the
# parallel walk's threads live there. Qt's process launching does not agree with the sanitizer.
# -O1 is what the sanitizer needs to run at a useful speed, and compiles faster than -O2. The
# sanitizer builds keep line tables only (-g1): a report needs file and line, not variables.
build-thread: deps
	@cmake -S . -B $(THREAD_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
		-DTARNWICK_WERROR=ON \
		-DTARNWICK_SANITIZE=thread -DTARNWICK_QT=OFF -DTARNWICK_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(THREAD_DIR) -j$(JOBS)

run: build
	@scripts/run

# The Debian package (tarnwick_VERSION_ARCH.deb in the build folder): both programs, the desktop
# entry, the icon, the metainfo, the manual and the shells' completions.
package: build
	@cmake --build $(BUILD_DIR) --target package

# Not part of `make test`: installs the package into a fresh Debian 12 root (minutes, as root).
package-check: package
	@packaging/check-package "$$(ls -t $(BUILD_DIR)/tarnwick_*.deb | head -n 1)"

# The sanitizer suites run first so that the run ends with the release build's ctest summary.
test-sanitize: build-sanitize
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j$(JOBS)

test-thread: build-thread
	@TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
		ctest --test-dir $(THREAD_DIR) --output-on-failure -j$(JOBS)

test: test-sanitize test-thread build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

bench: build
	@bench/scan/run
	@bench/appstate/run
	@bench/review/run
	@bench/ui/run

# Permanent deletion and Trash moves against rm -rf and mv; needs a few GB free under bench/out.
bench-delete: build
	@bench/delete/run

# Not part of `make test`: a minute of libFuzzer on the readers of stored preferences and history.
fuzz: deps
	@dpkg-query -W -f='$${Status}' clang libclang-rt-14-dev 2>/dev/null | grep -c 'ok installed' | grep -q 2 || \
		{ [ "$$(id -u)" -eq 0 ] && s= || s=sudo; $$s apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev; }
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DTARNWICK_SANITIZE=address,undefined -DTARNWICK_FUZZ=ON -DTARNWICK_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j$(JOBS) --target preferences_fuzzer
	@mkdir -p $(FUZZ_DIR)/corpus && cp -n fuzz/corpus/preferences/* $(FUZZ_DIR)/corpus/
	$(FUZZ_DIR)/fuzz/preferences_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 $(FUZZ_DIR)/corpus

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(THREAD_DIR) $(FUZZ_DIR)
