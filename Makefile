# Entry points; README.md names the two that matter (demo, test).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps test-deps configure build demo test tidy memcheck sanitize fuzz test-windows bench \
  package clean

# Warnings as errors: off for a user's build and the demo, on for the tests (and so in CI), which
# also compile the benchmarks, so that they build cleanly and clang-tidy sees them.
WERROR ?= OFF
WITH_BENCH ?= OFF

deps:
	@scripts/install-deps.sh

# What only the tests need besides: gr-rds, the receiver that checks the simulator's MPX.
test-deps:
	@scripts/install-deps.sh --test

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DRDS_WERROR=$(WERROR) \
	  -DRDS_BUILD_BENCH=$(WITH_BENCH) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

# Every test: the build with warnings as errors, clang-tidy, the suite, the programs under
# memcheck, the suite under sanitizers, and the Windows build under Wine. Wine needs a private
# mount namespace (root): without one the Windows checks are skipped with a message, except in
# CI, where that fails the run.
test: WERROR = ON
test: WITH_BENCH = ON
test: test-deps build
	@JOBS=$(JOBS) scripts/tidy.sh $(BUILD)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@JOBS=$(JOBS) scripts/valgrind-e2e.sh $(BUILD)
	@JOBS=$(JOBS) scripts/sanitize.sh $(BUILD)-sanitize
	@scripts/windows/ci.sh $(BUILD) || { status=$$?; \
	  if [ $$status -eq 70 ] && [ -z "$$CI" ]; then \
	    echo "test: Windows checks skipped: Wine cannot run safely here (see README)" >&2; \
	  else exit $$status; fi; }

# clang-tidy on every source of ours, with the checks of .clang-tidy (also part of `test`). Uses
# the build tree as it is configured (configures it if there is none).
tidy: deps
	@JOBS=$(JOBS) scripts/tidy.sh $(BUILD)

# The programs' end-to-end tests under valgrind memcheck (also part of `test`).
memcheck: build
	@JOBS=$(JOBS) scripts/valgrind-e2e.sh $(BUILD)

# Every test again under AddressSanitizer + UndefinedBehaviorSanitizer (also part of `test`).
sanitize: deps
	@JOBS=$(JOBS) scripts/sanitize.sh $(BUILD)-sanitize

# Each libFuzzer target for FUZZ_SECONDS (e.g. `make fuzz FUZZ_SECONDS=600`).
FUZZ_SECONDS ?= 60
fuzz: deps
	@BUILD=$(BUILD)-sanitize FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh

# The benchmarks: brovik's end-to-end Mbit/s and peak memory on a generated 50 Mbit capture (the
# fixed report and receiver mode), receiver mode's miscorrection figures, the station view's JSON
# lines and summary in groups/s, the modulator's seconds of air per second, and rds-demod's
# speed (times real time) and peak memory. rds-demod's sensitivity table takes some minutes:
# `python3 bench/demod/sensitivity.py --build $(BUILD)`.
bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DRDS_BUILD_BENCH=ON \
	  -DRDS_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS) --target brovik_bench brovik_miscorrection station_bench \
	  mpx_bench demod_bench
	@$(BUILD)-bench/bench/decoder/brovik_bench
	@$(BUILD)-bench/bench/decoder/brovik_miscorrection
	@$(BUILD)-bench/bench/decoder/station_bench
	@$(BUILD)-bench/bench/mpx/mpx_bench
	@$(BUILD)-bench/bench/demod/demod_bench

# The Debian package rds-toolkit_<version>_<arch>.deb in $(BUILD) (docs/install.md); install it
# with `apt install ./$(BUILD)/rds-toolkit_*.deb`. `make test` builds one too, in a scratch
# directory, and checks it.
package: build
	@cd $(BUILD) && cpack -G DEB

# Cross-builds for Windows and runs the checks under Wine (README "Windows build").
test-windows: build
	@scripts/windows/ci.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-bench build-win64 build-win32
