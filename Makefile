# xmoplay: `make demo` plays the bundled film, `make test` runs every test.
# Both install what is missing first.

JOBS    ?= $(shell nproc)
BUILD   ?= build
ASAN    ?= build-asan
FUZZDIR ?= build-fuzz
XVFB     = xvfb-run -a -s "-screen 0 1024x768x24"
LSAN     = LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
FUZZ_SECONDS ?= 30

.PHONY: deps build test test-release test-sanitize demo golden bench soak fuzz fuzz-smoke fuzz-memcheck package clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DXMO_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test-release: build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DXMO_WERROR=ON -DXMO_SANITIZE=ON -DXMO_BENCH=OFF >/dev/null
	cmake --build $(ASAN) -j $(JOBS)
	# A test that fails gets one more run here: LeakSanitizer's exit-time
	# thread stop now and then crashes on its own among the GL driver's threads
	# ("Tracer caught signal 11"), after every assertion of the test passed.
	cd $(ASAN) && $(LSAN) $(XVFB) ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

fuzz-smoke: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZDIR) -DCMAKE_BUILD_TYPE=Debug -DXMO_FUZZ=ON -DXMO_BENCH=OFF >/dev/null
	cmake --build $(FUZZDIR) -j $(JOBS) --target fuzz_targets
	./scripts/run-fuzz $(FUZZDIR) $(FUZZ_SECONDS)

# The sanitizer suite runs last so its CTest summary closes the output.
test: build fuzz-smoke test-release test-sanitize

demo: build
	cd assets/demo && $(CURDIR)/$(BUILD)/xmoplay BrikBasics.xmo

# Rewrites tests/golden/ (the demo's golden frame hashes and thumbnails) from
# what this build renders: for a change that alters the picture on purpose.
# Look at the thumbnails before committing them.
golden: build
	cd $(BUILD) && XMO_UPDATE_GOLDEN=1 ctest -R '^GoldenFrames\.' --output-on-failure

# build/xmoplay_VERSION_ARCH.deb
package: build
	cmake --build $(BUILD) --target package

bench: build
	./scripts/run-bench $(BUILD)

# An hour of the demo at 25 fps; not part of `make test`.
SOAK_FRAMES ?= 90000
soak: build
	$(BUILD)/bench/demo_soak $(CURDIR)/assets/demo/BrikBasics.xmo $(SOAK_FRAMES)

fuzz: build
	$(MAKE) fuzz-smoke FUZZ_SECONDS=600
	$(MAKE) fuzz-memcheck

# The image target's seeds and every input the fuzzing kept, once under
# valgrind's memcheck (the Release build's image_file_replay): the image
# decoders are not instrumented, and only memcheck sees them use memory they
# never wrote.
fuzz-memcheck:
	valgrind --tool=memcheck --error-exitcode=1 -q $(BUILD)/fuzz/image_file_replay \
		fuzz/corpus/image_file $(FUZZDIR)/fuzz-corpus/image_file

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZDIR)
