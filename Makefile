# Entry points: `make run` measures the bundled sample corpus, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
# The interpreter the Python package is built for and tested with: Debian's, which has
# numpy, pandas and pytest (a python3 earlier on PATH may lack them).
PYTHON ?= $(shell test -x /usr/bin/python3 && echo /usr/bin/python3 || command -v python3)

# Seconds each fuzz target runs under `make fuzz`.
TAVORA_FUZZ_SECONDS ?= 60
# Sanitizer settings of `make sanitize`; Qt's and fontconfig's one-time allocations are
# suppressed for the leak checker (tests/lsan.supp).
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: setup configure build test run gui bench python sanitize fuzz clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPython_EXECUTABLE=$(PYTHON) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run-sample.sh $(BUILD)

# The Python package in $(BUILD)/python (PYTHONPATH=$(BUILD)/python); see docs/python.md.
python: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tavora_python

gui: build
	@$(BUILD)/src/app/tavora

bench: build
	@bash bench/run.sh $(BUILD)
	@bash bench/load.sh $(BUILD)
	@bash bench/memory.sh $(BUILD)

sanitize: setup
	@cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVORA_SANITIZE=ON -DTAVORA_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-sanitize -j $(JOBS)
	@cd build-sanitize && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang) in build-fuzz, each run for TAVORA_FUZZ_SECONDS.
fuzz: setup
	@JOBS=$(JOBS) TAVORA_FUZZ_SECONDS=$(TAVORA_FUZZ_SECONDS) bash fuzz/run.sh

# The C++ files the formatter owns: every tracked source, header and test.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')

# Rewrites every C++ file in the project's style (.clang-format).
format: setup
	@clang-format -i $(FORMAT_FILES)

# Fails, listing the differences, when a C++ file is not formatted (run by CI).
format-check: setup
	@clang-format --dry-run --Werror $(FORMAT_FILES)

# The static checks of .clang-tidy over the core and front ends (needs a configured build).
tidy: configure
	@git ls-files 'src/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

clean:
	@rm -rf $(BUILD) build-sanitize build-fuzz
