# The two commands of the README: `make run` and `make test`.
BUILD ?= build
GEN = $(BUILD)/build.ninja
JOBS ?= $(shell nproc)
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: run test build bench fuzz bootstrap clean

bootstrap:
	@scripts/bootstrap

$(GEN): CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja

build: bootstrap $(GEN)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/qmreadout

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

clean:
	rm -rf $(BUILD)
