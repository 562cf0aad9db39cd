# The two entry points; everything else lives in scripts/.
.PHONY: run test test-sanitize demo bench clean

run:
	scripts/run

test:
	scripts/test

test-sanitize:
	BUILD_DIR=build-asan scripts/install-deps
	BUILD_DIR=build-asan scripts/build -DLUMICUE_SANITIZE=ON -DLUMICUE_BENCH=OFF
	ctest --test-dir build-asan --output-on-failure -j2

demo:
	scripts/build && scripts/demo

clean:
	rm -rf build build-asan
