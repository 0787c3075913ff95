# The two commands: 'make run' starts the installer under Wine, 'make test' runs every test.
# PACK_DIR=<folder> builds a release that carries a maker's pack folder instead of the built-in pack;
# a build folder keeps its pack until PACK_DIR names another, or PACK_DIR=builtin the built-in one.
# VERSION=<a.b.c.d> and DISPLAY_VERSION=<text> set the release's version, kept the same way.
BUILD ?= build
PACK_DIR ?=
# Read by the configure script from the environment, so that a path with spaces or quotes stays whole.
export PACK_DIR
# VERSION=24.1.0.0 [DISPLAY_VERSION=text]: the maker's version, kept by the build folder like its pack.
# Exported only when given, so that the configure script can tell a version left out from one given.
ifneq ($(origin VERSION),undefined)
export VERSION
endif
ifneq ($(origin DISPLAY_VERSION),undefined)
export DISPLAY_VERSION
endif

.PHONY: all build configure prerequisites run run-uninstall test bench clean

all: build

prerequisites:
	@bash tools/install-prerequisites.sh

configure: prerequisites
	@bash cmake/configure-build.sh '$(BUILD)'

# The installer and what it needs, nothing of the tests.
build: configure
	@bash cmake/build-targets.sh '$(BUILD)' KelvorinAppPackSetup

run: configure
	@bash cmake/build-targets.sh '$(BUILD)' KelvorinAppPackSetup e2e_driver
	bash cmake/run-installer.sh '$(BUILD)'

run-uninstall: configure
	@bash cmake/build-targets.sh '$(BUILD)' KelvorinAppPackSetup e2e_driver
	bash cmake/run-installer.sh '$(BUILD)' uninstall

test: configure
	@bash cmake/build-targets.sh '$(BUILD)'
	bash cmake/run-tests.sh '$(BUILD)'

bench: configure
	@bash cmake/build-targets.sh '$(BUILD)'
	bash cmake/run-benchmarks.sh '$(BUILD)'

clean:
	rm -rf '$(BUILD)'
