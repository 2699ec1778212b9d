# The two entry points of a fresh machine: `make demo` and `make test`.
# Both install what is missing first.
.PHONY: deps build build-asan build-tsan demo test bench clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

# The demo needs only the console program and the libraries it loads.
# Under ThreadSanitizer only the run controller's test and what it loads.
build-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

demo: deps
	cmake --preset default
	cmake --build --preset default --target VantiroCmdLine
	scripts/demo.sh

test: build build-asan build-tsan
	ctest --preset default
	ctest --preset asan
	ctest --preset tsan

bench: build
	@BENCH=1 scripts/install-deps.sh
	scripts/bench.sh

clean:
	rm -rf build build-asan build-tsan
