# make demo   set up everything (packages, build, environment) and run the demo
# make test   set up everything and run every test
# make build  build only: the product's 32-bit modules land in build/bin/,
#             the 64-bit tree that tests run under Wine in build/x64/bin/
JOBS ?= 2
ENV  := tools/env/testenv.sh
X64  := build/x64

.PHONY: deps build test demo clean
deps:
	tools/env/install-deps.sh

build: deps
	cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DNELO_BUILD_TESTS=OFF >/dev/null
	cmake --build build -j $(JOBS)
	cmake -S . -B $(X64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(X64) -j $(JOBS)
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/native -j $(JOBS)

test: build
	NELO_BIN_DIR=$(X64)/bin $(ENV) run tools/run-tests.sh $(X64)

demo: build
	NELO_BIN_DIR=$(X64)/bin $(ENV) run tools/demo/run-demo.sh $(X64)/bin

clean:
	rm -rf build
