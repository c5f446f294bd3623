# The commands of the README: `make run`, `make test` and `make asan`.
BUILD ?= build
GEN = $(BUILD)/build.ninja
JOBS ?= $(shell nproc)
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: run run-simulated test asan tsan build bench fuzz bootstrap clean

bootstrap:
	@scripts/bootstrap

$(GEN): CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja

build: bootstrap $(GEN)
	cmake --build $(BUILD) -j $(JOBS)

# Without a display the window would open nowhere: under Xvfb when it is
# there (nothing to see, but the program runs), else a hint.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/qmreadout; \
	elif command -v xvfb-run >/dev/null; then \
	  echo "No display: running under Xvfb, where no window can be seen. Start it from a desktop session (or ssh -X) to see it."; \
	  xvfb-run -a $(BUILD)/qmreadout; \
	else echo "No display: start 'make run' from a desktop session, or over ssh -X, or install xvfb to run it invisibly."; exit 1; fi

# The program against the simulated converter and plate monitor.
run-simulated: build
	scripts/run-simulated

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole project and its tests under AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, in a build folder of its own.
ASAN_BUILD ?= build-asan
asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DQM_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The serial port's tests (the component, its event thread, the transfers that
# run on after their call) under ThreadSanitizer, in a build folder of their own.
TSAN_BUILD ?= build-tsan
tsan: bootstrap
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DQM_SANITIZE=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_comm test_platform_win32
	cd $(TSAN_BUILD) && ctest --output-on-failure -R '^test_(comm|platform_win32)$$'

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

# libFuzzer runs (clang, ASan, UBSan), FUZZ_TIME seconds each, starting from the
# kept corpus: the component stream reader and text parser, the picture
# readers (metafiles, bitmaps, JPEG) and chart files (seeded with a chart of
# every registered series class, function and tool). Not part of `make test`.
# Every target runs even when an earlier one found something; new corpus
# entries go to $(FUZZ_BUILD)/corpus-*, each target's finds and log to
# $(FUZZ_BUILD)/findings/<target>/, and the end lists which target found what.
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 60
FUZZ_JOBS ?= 2
fuzz:
	@scripts/bootstrap --fuzz
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/fuzz-targets $(FUZZ_BUILD) $(FUZZ_TIME) $(FUZZ_JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
