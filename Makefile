# One command per job; each installs what is missing first.
BUILD := build
MAKEFLAGS += --no-print-directory
JOBS := $(shell nproc)

.PHONY: all setup configure build run test screenshot

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# The program alone: the tests are make test's business.
run: configure
	@cmake --build $(BUILD) --target bezier7 -j$(JOBS)
	@scripts/run.sh

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -LE 'wine|web'

# The check build in its own folder: our sources through clang-tidy and cppcheck, then the whole
# suite, the program the real-window tests start included, under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer. The benchmark is left out: it runs nothing here.
CHECK := build-check
.PHONY: check
check: setup
	@cmake -S . -B $(CHECK) -DCMAKE_BUILD_TYPE=Debug -DBEZIER7_SANITIZE=ON -DBEZIER7_BENCH=OFF \
		-DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	@cmake --build $(CHECK) -j$(JOBS)
	@scripts/analyse.sh $(CHECK)
	@cd $(CHECK) && ctest --output-on-failure -j$(JOBS)

# Refreshes the README's pictures from the real-window tests' screenshots.
screenshot: build
	@cd $(BUILD) && ctest --output-on-failure -R tst_realwindow
	@cp $(BUILD)/screenshots/editor.png $(BUILD)/screenshots/dragged.png docs/

# Builds the drag benchmark in Release in its own folder and prints its table (bench/report.py).
.PHONY: bench
bench: setup
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBEZIER7_BENCH=ON >/dev/null
	@cmake --build build-bench --target bezier7_bench -j$(JOBS)
	@python3 bench/report.py build-bench/bench/bezier7_bench

# The Debian package, built with debhelper from a copy of the sources and checked (lintian, the
# desktop entry, the AppStream metadata, the hardening flags): build-package/bezier7_*.deb.
.PHONY: package
package: setup
	@scripts/package.sh

# The Windows program, cross-built against a static Qt built once into ~/.cache/bezier7 (15 to 40
# minutes on two cores): build-windows/bezier7.exe, its zip and its installer.
.PHONY: windows test-windows
windows:
	@scripts/windows.sh

# The Windows program and its installer tested under Wine, from the Linux build (label wine).
test-windows: windows build
	@cmake -S . -B $(BUILD) -DBEZIER7_WINDOWS_EXE=$(CURDIR)/build-windows/bezier7.exe >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -L wine

# The program as a web page, built with Debian's emscripten, the forms layer on the page's own
# elements (under a minute): build-web/index.html and the files it loads.
.PHONY: web test-web
web:
	@scripts/web.sh

# The page measured in headless Chromium beside the peer, a hand-written page in plain script that
# does the editor's job (bench/web/peer/), both served from 127.0.0.1 and measured in turn, in one
# table of both, their ratio and the goals (bench/web/bench.py): what a first visit downloads,
# Lighthouse's mobile runs three times and desktop once, the first frame at device pixel ratios 1,
# 1.5 and 2, a drag's main-thread time per pointer event at 1x and 4x CPU throttling beside the
# peer's with no move handler, and the start's longest task at 4x from a trace. About 8 minutes.
# Lighthouse, pinned by bench/web/package-lock.json, is installed with npm ci when the lock file is newer.
.PHONY: bench-web
bench-web: web
	@[ bench/web/node_modules/.package-lock.json -nt bench/web/package-lock.json ] || \
		(cd bench/web && npm ci --no-audit --no-fund --loglevel=error)
	@/usr/bin/python3 bench/web/bench.py build-web

# The page tested in Chromium, Firefox and WebKit with real input, from the Linux build (label web).
# axe-core, pinned by tests/web/package-lock.json, is installed with npm ci when the lock file is newer.
test-web: web build
	@[ tests/web/node_modules/.package-lock.json -nt tests/web/package-lock.json ] || \
		(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
	@cmake -S . -B $(BUILD) -DBEZIER7_WEB_SITE=$(CURDIR)/build-web >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -L web
