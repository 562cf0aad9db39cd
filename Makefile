# The two entry points, run and test; everything else lives in scripts/.
# `make run` builds only the program and its data (and the demo without a
# display); `make test` builds the rest.
.PHONY: run test test-sanitize fuzz demo bench clean

run:
	scripts/run

test:
	scripts/test

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	scripts/install-deps
	BUILD_DIR=build-asan scripts/build -DLUMICUE_SANITIZE=ON -DLUMICUE_BENCH=OFF -DLUMICUE_WERROR=OFF
	ctest --test-dir build-asan --output-on-failure -j2

# The file loaders under libFuzzer (clang), a bounded time each.
fuzz:
	scripts/install-deps --fuzz
	scripts/fuzz

demo:
	scripts/demo

# Follow latency and CPU at 1000 and 8000 Hz, idle cost, memory, stacking,
# F8 to shown by picture size, against the reference follower, and again at a
# pointer size of 400 %; then a 60 s flood of unthrottled motion for memory
# growth and catch-up; memory over
# 4,000 switches with a tray host; what a click ring costs; the window's longest unanswered ping
# through a start with heavy pictures and a gallery of 2,000 opening, and the
# memory after it; then following on a headless KWin (script and layer-shell
# overlay) and the GNOME Shell extension's cost.
bench:
	BUILD_TARGETS="lumicue bench_FollowBench bench_ReferenceFollower bench_TrayBench bench_ClickBench bench_HeavyPictureBench bench_KWinBench" scripts/build
	build/bench_FollowBench --reference build/bench_ReferenceFollower --lumicue build/lumicue --runs 5 --picture-sizes 128,1024,4096
	build/bench_FollowBench --reference build/bench_ReferenceFollower --lumicue build/lumicue --runs 3 --pointer-size 400
	build/bench_FollowBench --reference build/bench_ReferenceFollower --lumicue build/lumicue --runs 1 --motions 200 --rates 1000 --idle-seconds 1 --flood-seconds 60
	build/bench_TrayBench --lumicue build/lumicue --switches 4000
	build/bench_ClickBench --lumicue build/lumicue --clicks 100
	build/bench_HeavyPictureBench --lumicue build/lumicue --runs 3
	build/bench_KWinBench --lumicue build/lumicue --runs 3
	BUILD_TARGETS=lumicue_gnome_extension scripts/build
	bench/gnome-bench build/gnome-extension/lumicue@lumicue.example 1000 5

clean:
	rm -rf build build-asan build-fuzz
