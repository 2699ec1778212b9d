# The two entry points of a fresh machine: `make demo` and `make test`.
# Both install what is missing first.
.PHONY: deps build build-asan demo test bench package install clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

# The demo needs only the console program and the libraries it loads.
demo: deps
	cmake --preset default
	cmake --build --preset default --target VantiroCmdLine
	scripts/demo.sh

test: build build-asan
	ctest --preset default
	ctest --preset asan

bench: build
	@BENCH=1 scripts/install-deps.sh
	scripts/bench.sh

# The Debian package, build/vantiro_<version>_<arch>.deb: `sudo apt install ./build/vantiro_*.deb`.
package: build
	cmake --build --preset default --target package

# Installs the plain build (`make build` first, as yourself): `sudo make install`, or
# `make install PREFIX=~/.local` for one user.
PREFIX ?= /usr/local
install:
	cmake --install build --strip --prefix $(PREFIX)

clean:
	rm -rf build build-asan
