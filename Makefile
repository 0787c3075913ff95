# The two commands: 'make run' starts the installer under Wine, 'make test' runs every test.
# PACK_DIR=<folder> builds a release that carries a maker's pack folder instead of the built-in pack.
BUILD ?= build
TOOLCHAIN := cmake/toolchain-i686-w64-mingw32.cmake
PACK_DIR ?=
pack_dir := $(if $(strip $(PACK_DIR)),$(abspath $(PACK_DIR)))

.PHONY: all build prerequisites run run-uninstall test bench clean FORCE

all: build

prerequisites:
	@bash tools/install-prerequisites.sh

# Rewritten only when PACK_DIR differs from the last configure's, so that a change reconfigures.
$(BUILD)/pack-dir.txt: FORCE
	@mkdir -p $(BUILD)
	@printf '%s\n' '$(pack_dir)' | cmp -s - $@ || printf '%s\n' '$(pack_dir)' >$@

$(BUILD)/CMakeCache.txt: $(BUILD)/pack-dir.txt | prerequisites
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) '-DKELVORIN_PACK_DIR=$(pack_dir)' >/dev/null

build: prerequisites $(BUILD)/CMakeCache.txt
	env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build $(BUILD) -j2

run: build
	bash cmake/run-installer.sh $(BUILD)

run-uninstall: build
	bash cmake/run-installer.sh $(BUILD) uninstall

test: build
	bash cmake/run-tests.sh $(BUILD)

bench: build
	bash cmake/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD)
