# Morvaneo: one-command set-up, build, run and test on Debian.
#   make run [ARGS="file.mvn5"]   build and start the editor
#   make test [SANITIZE=1]        build and run every test headless
#   make screenshots              render every window to build/screenshots/
#   make package                  build morvaneo_VERSION_ARCH.deb in build-package/

PACKAGES := cmake g++ make qt6-base-dev libgl-dev libqscintilla2-qt6-dev
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)

ifeq ($(SANITIZE),1)
BUILD       ?= build-asan
CMAKE_FLAGS += -DMORVANEO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
BUILD       ?= build
CMAKE_FLAGS += -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif

.PHONY: all deps configure build run test screenshots install bench fuzz package lint-package clean

PREFIX ?= $(HOME)/.local

all: build

# Installs the Debian packages the build needs when they are missing:
# directly as root, through sudo otherwise, or tells the exact command.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then \
	    echo "Installing:$$missing"; \
	    sudo DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing Debian packages. Install them with:"; \
	    echo "  sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/morvaneo $(ARGS)

# The metadata test runs the desktop's validators on the installed files;
# the language server's test attaches Neovim's own client to it.
test: PACKAGES += appstream desktop-file-utils groff-base neovim
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

screenshots: build
	mkdir -p $(BUILD)/screenshots
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tests/morvaneo-screenshots $(BUILD)/screenshots

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Optimised build, every benchmark, one table (BENCH_QUICK=1: one short pass).
bench: PACKAGES += python3
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build-bench -j $(JOBS) --target bench_targets
	python3 bench/run_bench.py build-bench $(if $(BENCH_QUICK),--quick)

# The Debian package, from an optimised build of its own; dpkg-shlibdeps
# (dpkg-dev) works out its dependencies from the programs.
package: PACKAGES += dpkg-dev
package: deps
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DMORVANEO_TESTS=OFF >/dev/null
	cmake --build build-package -j $(JOBS)
	cd build-package && cpack -G DEB
	@ls build-package/morvaneo_*.deb

# Debian's checks of the package: any error fails.
lint-package: PACKAGES += dpkg-dev lintian
lint-package: package
	lintian --fail-on error build-package/morvaneo_*.deb

# libFuzzer targets built with clang under ASan and UBSan; each runs
# FUZZ_SECONDS seconds from its corpus in fuzz/corpus/.
FUZZ_SECONDS ?= 60
fuzz: PACKAGES += clang libclang-rt-14-dev
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DMORVANEO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	FUZZ_TARGETS="$(FUZZ_TARGETS)" sh fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan build-bench build-fuzz build-package
