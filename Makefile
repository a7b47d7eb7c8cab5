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

run: build
	@scripts/run.sh

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# Refreshes the README's pictures from the real-window tests' screenshots.
screenshot: build
	@cd $(BUILD) && ctest --output-on-failure -R tst_realwindow
	@cp $(BUILD)/screenshots/editor.png $(BUILD)/screenshots/dragged.png docs/
