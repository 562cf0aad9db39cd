# The two entry points, run and test; everything else lives in scripts/.
# `make run` builds only the program and its data (and the demo without a
# display); `make test` builds the rest.
.PHONY: run test test-sanitize demo bench clean

run:
	scripts/run

test:
	scripts/test

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	scripts/install-deps
	BUILD_DIR=build-asan scripts/build -DLUMICUE_SANITIZE=ON -DLUMICUE_BENCH=OFF -DLUMICUE_WERROR=ON
	ctest --test-dir build-asan --output-on-failure -j2

demo:
	scripts/demo

# Follow latency, CPU, idle cost, memory and start-up, against the reference follower.
bench:
	BUILD_TARGETS="lumicue bench_FollowBench bench_ReferenceFollower" scripts/build
	build/bench_FollowBench --reference build/bench_ReferenceFollower --lumicue build/lumicue --runs 5

clean:
	rm -rf build build-asan
