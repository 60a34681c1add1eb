# Rotor: `make run` builds the engine (Release) and starts it at the console;
# `make test` builds everything and runs every test.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test test-sanitize perft perft-bench bench clean fuzz

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/rotor

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DROTOR_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

perft: build

perft-bench: build
	./tools/perft-bench.sh $(BUILD)

bench: build
	./$(BUILD)/bench

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
