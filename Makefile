# The two commands: `make run` and `make test`. Both install what is missing:
# `make run` only what building and playing the game needs, `make test`
# everything (scripts/packages.txt).
.PHONY: run test deps deps-player deps-arm build build-game build-asan bench format clean web \
	serve-web static-checks package pictures windows arm test-under-load bench-web lighthouse-web

CMAKE ?= cmake
CTEST ?= ctest
CPACK ?= cpack

deps:
	@sh scripts/install-deps.sh test

deps-player:
	@sh scripts/install-deps.sh player

deps-arm:
	@sh scripts/install-deps.sh arm

build: deps
	$(CMAKE) --preset default
	$(CMAKE) --build --preset default

build-asan: deps
	$(CMAKE) --preset asan
	$(CMAKE) --build --preset asan

# The game alone in build/game (no tests, tools or benchmarks); it finds its
# sounds beside it. Configured once: ninja configures again when needed.
build-game: deps-player
	test -f build/game/build.ninja || $(CMAKE) --preset game
	$(CMAKE) --build --preset game

run: build-game
	build/game/app/rallix

# Every check and test, the quickest to fail first, the builds side by side
# and then the tests side by side, ending with a table of how long each took
# (scripts/test.sh says more).
test: deps
	sh scripts/test.sh

# The end-to-end and browser tests three times over while two busy loops hold
# both cores: none may fail (scripts/test-under-load.sh).
test-under-load: build build-asan windows web
	sh scripts/test-under-load.sh

# The layering check and clang-format (check only), then clang-tidy; all must
# be clean.
static-checks: build-asan
	sh scripts/quick-checks.sh
	sh scripts/tidy.sh

# The fuzz targets (fuzz/: the sound loader, the demo reader, the save
# states), built with clang apart from the presets and run for 30 s each;
# scripts/fuzz.sh TARGET SECONDS runs one longer.
.PHONY: fuzz-smoke
fuzz-smoke: deps
	sh scripts/fuzz.sh sound 30
	sh scripts/fuzz.sh demo 30
	sh scripts/fuzz.sh state 30

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

# The page's figures: how soon it shows the title, what a first visit
# fetches, what it weighs (bench-web), and Lighthouse's scores
# (lighthouse-web); neither is part of make test.
bench-web: web
	sh scripts/bench-web.sh

lighthouse-web: web
	sh scripts/lighthouse-web.sh

# The Windows game, cross-compiled with mingw-w64:
# build/windows/rallix-<version>-windows-x64.zip (SDL2 is built from Debian's
# source once per version and kept in build/windows).
windows: deps
	sh scripts/build-windows.sh build/windows

# The game and the libretro core for ARM Linux, cross-compiled with Debian's
# cross compilers against Debian's arm64 and armhf packages
# (scripts/build-arm.sh): build/<arch>/rallix_<version>_<arch>.deb and
# build/<arch>/rallix_libretro-<version>-linux-<arch>.zip for arm64 and armhf.
arm: deps-arm
	sh scripts/build-arm.sh arm64
	sh scripts/build-arm.sh armhf

bench: build
	sh scripts/bench.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
