# The README's commands. Each installs what is missing, configures and builds by itself.
BUILD       ?= build
BENCH_BUILD ?= build-release
PACKAGE_BUILD ?= build-package
CMAKE_FLAGS ?=
BENCH_ARGS  ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

BUILD_PACKAGES := cmake make g++ libgtest-dev libgmock-dev qt6-base-dev qt6-qpa-plugins libx11-dev
RUN_PACKAGES   := qt6-wayland
TEST_PACKAGES  := xvfb openbox xscreensaver xscreensaver-data x11-utils xdotool x11-apps xclip qt6-wayland weston desktop-file-utils appstream dpkg-dev
BENCH_PACKAGES := libbenchmark-dev
PACKAGE_PACKAGES := dpkg-dev lintian

.PHONY: all run test bench install package package-build clean

all:
	@tools/require-packages $(BUILD_PACKAGES)
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	@cmake --build $(BUILD) -j$$(nproc)

run: all
	@tools/require-packages $(RUN_PACKAGES)
	$(BUILD)/app/tavelune

test:
	@tools/require-packages $(BUILD_PACKAGES) $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory all
	@$(MAKE) --no-print-directory package-build
	ctest --test-dir $(BUILD) --output-on-failure

bench:
	@tools/require-packages $(BUILD_PACKAGES) $(BENCH_PACKAGES)
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_BENCH=ON -DBUILD_TESTING=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_BUILD) -j$$(nproc) --target tavelune_bench
	$(BENCH_BUILD)/bench/tavelune_bench $(BENCH_ARGS)

install: all
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# A Debian package in dist/, for this machine's architecture, checked by lintian.
package: package-build
	lintian --fail-on error dist/tavelune_*_$$(dpkg --print-architecture).deb

package-build:
	@tools/require-packages $(BUILD_PACKAGES) $(PACKAGE_PACKAGES)
	@cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
	  $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j$$(nproc)
	@rm -f dist/tavelune_*.deb
	cd $(PACKAGE_BUILD) && cpack >/dev/null
	@ls dist/*.deb

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD) build-asan build-fuzz build-arm64 dist
