# The two entry points of a fresh machine: `make demo` and `make test`.
# Both install what is missing first.
.PHONY: deps build build-asan build-tsan build-windows build-windows-i686 demo test bench fuzz package windows install clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

# Under ThreadSanitizer only the run controller's test and what it loads.
build-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

# Windows x86-64 with MinGW-w64, into build-windows/bin/; its tests run under Wine.
build-windows: deps
	cmake --preset windows
	cmake --build --preset windows

# 32-bit Windows: compiled and linked only, to keep the code 32-bit clean
# (nothing here runs 32-bit programs); never shipped.
build-windows-i686: deps
	cmake --preset windows-i686
	cmake --build --preset windows-i686

# The demo needs only the console program, the libraries it loads and the
# manual, beside which the program keeps its log.
demo: deps
	cmake --preset default
	cmake --build --preset default --target VantiroCmdLine VantiroUserManual
	scripts/demo.sh

# The Windows tests compare with the Linux build's programs, so they come after it.
test: build build-asan build-tsan build-windows build-windows-i686
	ctest --preset default
	ctest --preset asan
	ctest --preset tsan
	ctest --preset windows

bench: build
	@BENCH=1 scripts/install-deps.sh
	scripts/bench.sh

# libFuzzer with clang, in its own build directory: each reader of untrusted
# input for FUZZ_SECONDS seconds (default 60). `make test` replays the seed
# corpora without clang.
FUZZ_SECONDS ?= 60
fuzz:
	@FUZZ=1 scripts/install-deps.sh
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVANTIRO_FUZZ=ON -DVANTIRO_BUILD_GUI=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
	cmake --build build-fuzz --target fuzz_programs
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh build-fuzz

# The Debian package, build/vantiro_<version>_<arch>.deb: `sudo apt install ./build/vantiro_*.deb`.
package: build
	cmake --build --preset default --target package

# Windows x86-64, cross-compiled with MinGW-w64: the programs, the engine libraries,
# Language.dll and the manual in build-windows/bin/, then from them
# build-windows/vantiro-<version>-win64.zip and the installer vantiro-<version>-win64-setup.exe.
# Only what is packed is built (not the tests): each target is named as its file.
windows_targets := $(basename $(shell grep -v '^\#' packaging/windows/program-files.txt))
windows: deps
	cmake --preset windows
	cmake --build --preset windows --target $(windows_targets)
	scripts/windows-package.sh build-windows

# Installs the plain build (`make build` first, as yourself): `sudo make install`, or
# `make install PREFIX=~/.local` for one user.
PREFIX ?= /usr/local
install:
	cmake --install build --strip --prefix $(PREFIX)

clean:
	rm -rf build build-asan build-tsan build-fuzz build-windows build-windows-i686
