# Thin wrapper over CMake: `make run` starts the tuner, `make test` runs every test.
JOBS ?= $(shell nproc)
CONFIG_DIR ?= $(if $(XDG_CONFIG_HOME),$(XDG_CONFIG_HOME),$(HOME)/.config)/merlop

.PHONY: all deps build release sanitize test run bench clean format-check tidy package

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)

release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

sanitize: deps
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize -j $(JOBS)

# The tests that play and record real sound run once more on PipeWire (with pipewire-pulse).
REAL_AUDIO_TESTS = ^(LiveAudio|OutputStress)\.

test: format-check tidy sanitize package
	scripts/with-test-env ctest --preset debug -j $(JOBS)
	scripts/with-test-env --pipewire ctest --preset debug -j $(JOBS) --no-tests=error \
		-R '$(REAL_AUDIO_TESTS)'
	scripts/with-test-env ctest --preset sanitize -j $(JOBS)
	scripts/test-package build/release/merlop_*.deb

# clang-tidy over every file of src/ and tools/, with the checks of .clang-tidy; any finding fails.
# The compiler's GCC-only warning options mean nothing to clang.
tidy: build
	run-clang-tidy-14 -p build/debug -j $(JOBS) -quiet -extra-arg=-Wno-unknown-warning-option \
		'$(CURDIR)/(src|tools)/' > build/debug/tidy.log 2>&1 || \
		{ grep -E '(warning|error):' build/debug/tidy.log | sort -u; exit 1; }

# Every tracked C++ file as clang-format 14 would leave it.
format-check: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror

# build/release/merlop_<version>_<arch>.deb
package: release
	rm -f build/release/merlop_*.deb
	cd build/release && cpack -G DEB

run: release
	scripts/run "$(CONFIG_DIR)"

bench: release
	build/release/merlop-bench
	build/release/merlop-precision
	build/release/merlop-strobe-precision
	build/release/merlop-piano-precision

clean:
	rm -rf build

# Fuzzing (clang + libFuzzer; skipped with a message without it). `make test` replays every
# corpus file and fuzzes each target briefly; `make fuzz` runs each one for FUZZ_SECONDS.
FUZZ_SECONDS ?= 300
FUZZ_TEST_SECONDS ?= 30
.PHONY: fuzz fuzz-test
test: fuzz-test
fuzz-test:
	tests/fuzz/run-fuzz fuzz $(FUZZ_TEST_SECONDS)
fuzz:
	tests/fuzz/run-fuzz fuzz $(FUZZ_SECONDS)
