# Entry points: `make run` builds and starts the program, `make test` builds everything and runs
# every test. Both install missing Debian packages first and are quick when nothing changed.
BUILD := build
CMAKE_GEN := -G Ninja

.PHONY: all deps configure build run test soak dist clean
all: build

deps:
	@tools/setup-deps

$(BUILD)/native/build.ninja:
	cmake -S . -B $(BUILD)/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DWL_SANITIZE=ON
# The Windows builds use host tools (packers, generators) from the native build, built first.
HOST_TOOLS := -DWL_HOST_TOOLS_DIR=$(CURDIR)/$(BUILD)/native/tools

$(BUILD)/win64/build.ninja:
	cmake -S . -B $(BUILD)/win64 $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release $(HOST_TOOLS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake
$(BUILD)/win32/build.ninja:
	cmake -S . -B $(BUILD)/win32 $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DWL_TESTS=OFF $(HOST_TOOLS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake

# dictbuild optimised, for making the whole dictionary: the sanitized debug build of the same
# sources writes the same bytes but takes minutes for it, the optimised one seconds.
$(BUILD)/host/build.ninja:
	cmake -S . -B $(BUILD)/host $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DWL_TESTS=OFF

configure: $(BUILD)/native/build.ninja $(BUILD)/win64/build.ninja $(BUILD)/win32/build.ninja $(BUILD)/host/build.ninja

# The dictionary words.mdb goes beside Wordlark.exe in both Windows builds (made once into
# .cache/ecdict/, again only when its sources change; WL_DEMO_WORDS=N for a smaller one).
DEMO_DICT := cmake --build $(BUILD)/host --target dictbuild && \
	tools/make-demo-dict $(BUILD)/host/tools/dictbuild $(BUILD)/win64/app $(BUILD)/win32/app

build: deps configure
	tools/build-all $(BUILD)

run: deps configure
	cmake --build $(BUILD)/native
	$(DEMO_DICT)
	cmake --build $(BUILD)/win64
	tools/wine-run $(BUILD)/win64/app/Wordlark.exe

# The Wine prefix is made in the background while everything builds; the tests wait for it.
# The i686 tree, which no test runs, is built beside the Wine tests.
test: deps configure
	tools/wine-prefix >/dev/null 2>&1 & tools/build-all $(BUILD) --no-i686 && tools/run-tests --build-i686

# The long leak loops (WL_SOAK_CYCLES counted cycles each, 1000 unless configured otherwise).
soak: build
	tools/run-tests --soak

# A zip for Windows users: the 32-bit program, its dictionary, information page and notices.
VERSION = $(shell sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(BUILD)/win32/CMakeCache.txt)
dist: build
	tools/make-dist $(BUILD)/win32/app $(BUILD)/dist $(VERSION)

clean:
	rm -rf $(BUILD)
