# The README's commands. Each installs what is missing, configures and builds by itself.
BUILD       ?= build
BENCH_BUILD ?= build-release
CMAKE_FLAGS ?=
BENCH_ARGS  ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

BUILD_PACKAGES := cmake make g++ libgtest-dev libgmock-dev qt6-base-dev qt6-qpa-plugins libx11-dev
TEST_PACKAGES  := xvfb xdotool x11-apps xclip
BENCH_PACKAGES := libbenchmark-dev

.PHONY: all run test bench install clean

all: $(BUILD)/.built

$(BUILD)/.built: FORCE
	@tools/require-packages $(BUILD_PACKAGES)
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$$(nproc)
	@touch $@

run: all
	$(BUILD)/window/tavelune

test:
	@tools/require-packages $(BUILD_PACKAGES) $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory all
	ctest --test-dir $(BUILD) --output-on-failure

bench:
	@tools/require-packages $(BUILD_PACKAGES) $(BENCH_PACKAGES)
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_BENCH=ON -DBUILD_TESTING=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_BUILD) -j$$(nproc) --target tavelune_bench
	$(BENCH_BUILD)/bench/tavelune_bench $(BENCH_ARGS)

install: all
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) build-asan build-fuzz

FORCE:
