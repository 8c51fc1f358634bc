# The README's commands. Each target installs what it needs first.
BUILD      ?= build
BUILD_SAN  ?= build-san
BUILD_BENCH ?= build-bench
BUILD_FUZZ ?= build-fuzz
BUILD_WEB  ?= build-web
BUILD_WASM ?= build-wasm
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local

.PHONY: help deps configure build test test-sanitize bench fuzz demo web web-serve web-test install \
  format tidy clean
.DEFAULT_GOAL := help

# Every target with a "## what it does" note is listed by plain `make`.
help: ## lists these targets
	@echo "usage: make TARGET [PREFIX=...] [JOBS=...] [FUZZ_SECONDS=...]"
	@awk -F':[^#]*## ' '/^[a-z-]+:.*## / { printf "  %-14s %s\n", $$1, $$2 }' $(MAKEFILE_LIST)

deps: ## installs the Debian packages the build needs (apt-get, as root or with sudo)
	@bash scripts/install-deps.sh

configure: deps ## configures the release build in build/
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure ## builds the libraries, demo, examples, tool and tests
	@cmake --build $(BUILD) -j $(JOBS)

test: build ## builds everything and runs every test, the web page's in headless Chromium too
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@if command -v emcc >/dev/null && command -v chromium >/dev/null; then \
	  $(MAKE) --no-print-directory web-test; \
	else echo "test: no emcc or chromium; the web page's test did not run (make deps)"; fi

# Unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer (the packaging tests,
# which only build and link, run in the plain build).
test-sanitize: deps ## the tests built with AddressSanitizer and UndefinedBehaviorSanitizer
	@cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DHEXMAP_SANITIZE=address,undefined -DHEXMAP_BUILD_DEMO=OFF >/dev/null
	@cmake --build $(BUILD_SAN) -j $(JOBS)
	@cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) -E 'e2e|package_'

bench: deps ## builds and runs the benchmarks (A* search, flood, sight, terrain costs, blits, drawing)
	@cmake -S . -B $(BUILD_BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DHEXMAP_BUILD_BENCH=ON -DHEXMAP_BUILD_TESTS=OFF -DHEXMAP_BUILD_DEMO=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j $(JOBS)
	@for b in $(BUILD_BENCH)/bench/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.2 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true; done

# libFuzzer targets under clang with AddressSanitizer and UndefinedBehaviorSanitizer.
FUZZ_SECONDS ?= 60
fuzz: deps ## runs each libFuzzer target for FUZZ_SECONDS (default 60) under clang
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DHEXMAP_BUILD_FUZZ=ON -DHEXMAP_BUILD_TESTS=OFF -DHEXMAP_BUILD_DEMO=OFF >/dev/null
	@cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@bash fuzz/run.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

# Starts the demo from its run folder; without a display, a scripted session under Xvfb.
demo: build ## builds and starts the demonstration program (a scripted session without a display)
	@bash scripts/demo.sh $(BUILD)

# The demo as a static web page, compiled by Debian's Emscripten. Its optimizer needs Debian's
# Node.js modules; ccache does not know emcc.
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
web: deps ## builds the demo's web page into build-web/ (index.html, .js, .wasm, data)
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(BUILD_WASM) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_CXX_COMPILER_LAUNCHER= -DHEXMAP_WEB_DIR=$(abspath $(BUILD_WEB)) >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build $(BUILD_WASM) -j $(JOBS)
	@echo "web: the page is in $(BUILD_WEB)/; 'make web-serve' serves it on http://127.0.0.1:8000/"

web-serve: web ## serves the web page on http://127.0.0.1:8000/
	@echo "web-serve: open http://127.0.0.1:8000/ (Ctrl+C stops)"
	@python3 -m http.server 8000 --bind 127.0.0.1 --directory $(BUILD_WEB)

web-test: web build ## plays the web page in headless Chromium (tests/web)
	@bash scripts/web-test.sh $(BUILD_WEB) $(BUILD_WASM) $(BUILD) $(if $(wildcard $(BUILD_BENCH)/bench/bench_demo_frame),$(BUILD_BENCH))

install: build ## installs libraries, headers, tool, CMake and pkg-config files into PREFIX (/usr/local)
	@cmake --install $(BUILD) --prefix $(PREFIX)

format: ## clang-format over every source file
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

tidy: configure ## clang-tidy over the engine and the graphics layer
	@git ls-files 'hexmap/*.cpp' 'raster/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

clean: ## removes every build folder
	@rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_BENCH) $(BUILD_FUZZ) $(BUILD_WEB) $(BUILD_WASM)
