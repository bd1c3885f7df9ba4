# Tarnwick: `make run` and `make test` are all a fresh Debian 12 machine needs.
JOBS ?= $(shell nproc)
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON

.PHONY: deps build build-sanitize run test test-sanitize bench bench-delete clean format

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

build-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_WERROR=ON \
		-DTARNWICK_SANITIZE=address,undefined >/dev/null
	@cmake --build $(SANITIZE_DIR) -j$(JOBS)

run: build
	@scripts/run

# The sanitizer suite runs first so that the run ends with the release build's ctest summary.
test-sanitize: build-sanitize
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j$(JOBS)

test: test-sanitize build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

bench: build
	@bench/scan/run

# Permanent deletion and Trash moves against rm -rf and mv; needs a few GB free under bench/out.
bench-delete: build
	@bench/delete/run

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
