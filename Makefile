# The two commands: `make run` and `make test`. Both install what is missing.
.PHONY: run test deps build build-asan bench format clean web serve-web static-checks \
	package pictures

CMAKE ?= cmake
CTEST ?= ctest
CPACK ?= cpack

deps:
	@sh scripts/install-deps.sh

build: deps
	$(CMAKE) --preset default
	$(CMAKE) --build --preset default

build-asan: deps
	$(CMAKE) --preset asan
	$(CMAKE) --build --preset asan

# The game looks its sounds up in the working directory, so it starts where
# the build put them.
run: build
	cd build/default/app && ./rallix

test: build build-asan fuzz-smoke
	$(CTEST) --preset default
	$(CTEST) --preset asan
	$(MAKE) static-checks

# clang-format (check only) and clang-tidy, both must be clean.
static-checks: build
	sh scripts/static-checks.sh build/default

# The sound loader's fuzz target (fuzz/), built with clang apart from the
# presets and run for 30 s; scripts/fuzz-sound.sh SECONDS runs it longer.
.PHONY: fuzz-smoke
fuzz-smoke: deps
	sh scripts/fuzz-sound.sh 30

# The Debian package: build/default/packages/rallix_<version>_<arch>.deb
# (docs/install.md).
package: build
	cd build/default && $(CPACK) -G DEB

# The pictures in docs/, captured from the real game under Xvfb.
PYTHON ?= $(shell test -x /usr/bin/python3 && echo /usr/bin/python3 || echo python3)

pictures: build
	$(PYTHON) scripts/capture-pictures.py --build build/default --out docs

# The browser version: the page in build/web/site, served on 127.0.0.1.
WEB_PORT ?= 8000

web: deps
	sh scripts/build-web.sh build/web

serve-web: web
	sh scripts/serve-web.sh build/web/site $(WEB_PORT)

bench: build
	sh scripts/bench.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
