# The two commands of the README: `make test` and `make demo`. Both install what they need first.
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
ASAN := build/asan
# A compiler cache, where one is installed, makes rebuilds and other checkouts quick.
CACHE := $(if $(shell command -v ccache),-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(CURDIR)

.PHONY: all bootstrap build native win32 asan test demo screenshots fuzz clean

all: build

bootstrap:
	@scripts/bootstrap

native: bootstrap
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release $(CACHE) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

# The toolchain file counts only when the tree is first configured; CMake calls it unused after.
win32: bootstrap
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(CACHE) --no-warn-unused-cli >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

build: native win32

# The codec's unit tests once more with AddressSanitizer and UBSan: a read outside a buffer
# fails a test, not only the fuzzer.
asan: bootstrap
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUNLHA_SANITIZE=ON $(CACHE) >/dev/null
	@cmake --build $(ASAN) -j $(JOBS) --target unlha_codec_test unlha_encoder_test
	@for t in unlha_codec_test unlha_encoder_test; do $(ASAN)/bin/$$t --gtest_brief=1 || exit 1; done

# A line per tree; the whole output stays in build/test-logs/.
test: build asan
	@JOBS=$(JOBS) scripts/run-tests

demo: build
	@scripts/demo

# The demo under the virtual display, keeping a small picture of each window in docs/screenshots/.
screenshots: build
	@rm -f docs/screenshots/*.png
	@LUM_HEADLESS=1 LUM_SCREENSHOTS=docs/screenshots scripts/demo

clean:
	rm -rf build

# The LHA codec's fuzz target (libFuzzer, clang), run for FUZZ_SECONDS seconds.
FUZZ_SECONDS ?= 600
fuzz: bootstrap
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz-unlha
