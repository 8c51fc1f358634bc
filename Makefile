# The README's commands. Each target installs what it needs first.
BUILD      ?= build
BUILD_SAN  ?= build-san
BUILD_BENCH ?= build-bench
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)

.PHONY: deps configure build test test-sanitize bench fuzz demo format tidy clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DHEXMAP_SANITIZE=address,undefined -DHEXMAP_BUILD_DEMO=OFF >/dev/null
	@cmake --build $(BUILD_SAN) -j $(JOBS)
	@cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) -E e2e

bench: deps
	@cmake -S . -B $(BUILD_BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DHEXMAP_BUILD_BENCH=ON -DHEXMAP_BUILD_TESTS=OFF -DHEXMAP_BUILD_DEMO=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j $(JOBS)
	@for b in $(BUILD_BENCH)/bench/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.2 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true; done

# libFuzzer targets under clang with AddressSanitizer and UndefinedBehaviorSanitizer.
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DHEXMAP_BUILD_FUZZ=ON -DHEXMAP_BUILD_TESTS=OFF -DHEXMAP_BUILD_DEMO=OFF >/dev/null
	@cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@bash fuzz/run.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

# Starts the demo from its run folder; without a display, a scripted session under Xvfb.
demo: build
	@bash scripts/demo.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

tidy: configure
	@git ls-files 'hexmap/*.cpp' 'raster/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

clean:
	@rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_BENCH) $(BUILD_FUZZ)
