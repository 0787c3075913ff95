# The two commands: 'make run' starts the installer under Wine, 'make test' runs every test.
BUILD ?= build
TOOLCHAIN := cmake/toolchain-i686-w64-mingw32.cmake

.PHONY: all build prerequisites run run-uninstall test bench clean

all: build

prerequisites:
	@bash tools/install-prerequisites.sh

$(BUILD)/CMakeCache.txt: | prerequisites
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) >/dev/null

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
