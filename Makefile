# The README's commands. Each installs what is missing, configures and builds by itself.
BUILD       ?= build
BENCH_BUILD ?= build-release
PACKAGE_BUILD ?= build-package
WEB_BUILD   ?= build-web
WEB_PORT    ?= 8000
CMAKE_FLAGS ?=
BENCH_ARGS  ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true

BUILD_PACKAGES := cmake make g++ libgtest-dev libgmock-dev qt6-base-dev qt6-qpa-plugins libx11-dev
RUN_PACKAGES   := qt6-wayland
TEST_PACKAGES  := xvfb openbox xscreensaver xscreensaver-data x11-utils xdotool x11-apps xclip qt6-wayland weston desktop-file-utils appstream dpkg-dev
BENCH_PACKAGES := libbenchmark-dev
PACKAGE_PACKAGES := dpkg-dev lintian
WEB_PACKAGES   := emscripten python3
WEB_TEST_PACKAGES := chromium firefox-esr webkit2gtk-driver

# emcc runs on node, which finds its own modules here whatever node is first on the PATH.
export NODE_PATH := /usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH))

.PHONY: all run test bench install package package-build web serve-web clean

all:
	@tools/require-packages $(BUILD_PACKAGES)
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	@cmake --build $(BUILD) -j$$(nproc)

run: all
	@tools/require-packages $(RUN_PACKAGES)
	$(BUILD)/app/tavelune

test:
	@tools/require-packages $(BUILD_PACKAGES) $(TEST_PACKAGES) $(WEB_PACKAGES) $(WEB_TEST_PACKAGES)
	@# A node that came with its own npm stays; Debian's npm would replace it.
	@command -v npm >/dev/null || tools/require-packages npm
	@$(MAKE) --no-print-directory all
	@$(MAKE) --no-print-directory package-build
	@$(MAKE) --no-print-directory web WEB_TESTS=ON CMAKE_FLAGS="$(CMAKE_FLAGS) -DTAVELUNE_DESKTOP_PROGRAM=$(abspath $(BUILD))/app/tavelune"
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error
	ctest --test-dir $(BUILD) --output-on-failure
	ctest --test-dir $(WEB_BUILD) --output-on-failure

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

# The web edition in dist/web: static files for any web server. WEB_TESTS=ON builds the
# engine's unit tests too, to run under node, and the web edition's tests.
WEB_TESTS ?= OFF
web:
	@tools/require-packages $(WEB_PACKAGES) $(if $(filter ON,$(WEB_TESTS)),$(BUILD_PACKAGES))
	@emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_WINDOW=OFF -DBUILD_TESTING=$(WEB_TESTS) \
	  "-DCMAKE_CROSSCOMPILING_EMULATOR=$$(command -v node);--no-experimental-fetch" $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WEB_BUILD) -j$$(nproc)
	@rm -rf dist/web && mkdir -p dist && cp -r $(WEB_BUILD)/web/site dist/web && chmod a-x dist/web/*
	@echo "dist/web: $$(du -sh dist/web | cut -f1)"

# A look at dist/web in a browser, on this computer only.
serve-web: web
	@echo "tavelune: http://127.0.0.1:$(WEB_PORT)/"
	python3 -m http.server --bind 127.0.0.1 --directory dist/web $(WEB_PORT)

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD) $(WEB_BUILD) build-asan build-fuzz build-arm64 dist
