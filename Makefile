# Velmora installer: cross-compiled with MinGW-w64, tested under Wine.
#   make deps   install missing Debian packages and the zh_CN.UTF-8 locale
#   make test   build everything and run the test suite (ctest)
#   make demo   build and show the installer
#   make screenshots  render the skinned windows into build/screenshots
#   make bench  measure transfer, unpacking, whole installation, start-up,
#               size and memory against references (nginx on 127.0.0.1);
#               writes bench/RESULTS.md
#   make sign SIGN_CERT=cert.pem SIGN_KEY=key.pem
#               sign build/VelmoraInstaller.exe into VelmoraInstaller-signed.exe
BUILD_DIR ?= build
RELEASE_DIR ?= build-release
JOBS      ?= 2
CMAKE_ARGS ?=

.PHONY: all deps configure build test bench demo screenshots sign clean

all: build

deps:
	@tools/deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	tools/run_tests.sh $(BUILD_DIR)

bench: configure
	tools/deps.sh bench
	cmake --build $(BUILD_DIR) -j $(JOBS) --target wineprefix VelmoraInstaller \
	  bench_fetch bench_wininet bench_unzip
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DORV_ALLOW_PLAIN_HTTP=ON $(CMAKE_ARGS)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target VelmoraInstaller bench_unzip
	python3 bench/run_bench.py $(BUILD_DIR) --release-build $(RELEASE_DIR) $(BENCH_ARGS)

demo: build
	python3 tools/demo.py $(BUILD_DIR)

screenshots: build
	tools/screenshots.sh $(BUILD_DIR)

sign: build
	@test -n "$(SIGN_CERT)" -a -n "$(SIGN_KEY)" || { echo "make sign needs SIGN_CERT=... SIGN_KEY=..."; exit 2; }
	tools/sign.sh $(BUILD_DIR)/VelmoraInstaller.exe $(BUILD_DIR)/VelmoraInstaller-signed.exe $(SIGN_CERT) $(SIGN_KEY)

clean:
	rm -rf $(BUILD_DIR)
