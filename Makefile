# The two entry points of a fresh machine: `make demo` and `make test`.
# Both install what is missing first.
.PHONY: deps build build-asan demo test bench clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

# The demo needs only the console program, the libraries it loads and the
# manual, beside which the program keeps its log.
demo: deps
	cmake --preset default
	cmake --build --preset default --target VantiroCmdLine VantiroUserManual
	scripts/demo.sh

test: build build-asan
	ctest --preset default
	ctest --preset asan

bench: build
	@BENCH=1 scripts/install-deps.sh
	scripts/bench.sh

clean:
	rm -rf build build-asan
