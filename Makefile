# Rotor: `make run` builds the engine (Release) and starts it at the console
# from the play folder; `make test` builds everything and runs every test.
# Both first install the Debian packages they need when some are missing
# (tools/setup.sh).
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
# Where `make run` installs the engine and its book and runs it: the engine
# keeps its files beside its binary, so the user's teach.dat and lastgame.dat
# live here, out of reach of `make clean`.
PLAY ?= play
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test test-sanitize perft perft-bench bench bench-compare clean fuzz

all: build

# Everything, tests included (the test build's configuration is kept once made).
build:
	bash tools/setup.sh test
	grep -qx 'ROTOR_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt 2>/dev/null || \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DROTOR_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

# Only the engine: a build made here leaves the tests unconfigured. A
# teach.dat or lastgame.dat that older versions kept in the build folder
# moves to the play folder.
run:
	bash tools/setup.sh run
	[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DROTOR_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target rotor
	mkdir -p $(PLAY)
	install -m 755 $(BUILD)/rotor $(PLAY)/rotor
	install -m 644 data/book.dat $(PLAY)/book.dat
	for f in teach.dat lastgame.dat; do \
	  [ ! -f $(BUILD)/$$f ] || [ -e $(PLAY)/$$f ] || mv $(BUILD)/$$f $(PLAY)/$$f; \
	done
	cd $(PLAY) && ./rotor

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize:
	bash tools/setup.sh test
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DROTOR_SANITIZE=ON -DROTOR_TESTS=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The move generator's standard check: perft to depth 5 of every position of
# tests/data/perft/standard-positions.txt through the perft tool, each count
# against the file's (the perft5_* tests of the test build).
perft: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -R '^perft5_'

perft-bench: build
	./tools/perft-bench.sh $(BUILD)

bench: build
	./$(BUILD)/bench

# Bench speed of the current tree against a commit, in the same run:
#   make bench-compare BASE=0f58a94 [RUNS=5]
BASE ?= HEAD
bench-compare: build
	./tools/bench-compare.sh $(BASE) $(BUILD)

# The build folders only: the play folder with the user's files stays.
clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)

# Fuzzing with libFuzzer (clang): each target runs FUZZ_SECONDS on its corpus
# in tests/fuzz/corpus/<target>, adding what it finds there.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROTOR_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	for t in $(FUZZ_BUILD)/*_fuzz; do \
	  name=$$(basename $$t _fuzz); mkdir -p tests/fuzz/corpus/$$name; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -close_fd_mask=3 -max_len=4096 tests/fuzz/corpus/$$name || exit 1; \
	done
