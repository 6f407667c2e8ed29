# The front door. `make` builds everything into build/, `make test` runs every test tier,
# `make demo` builds the example installer, shows what it holds and runs it under Wine.
FUZZ_SECONDS ?= 180
BENCH_RUNS ?= 3
# make install: twk in PREFIX/bin, the stubs in PREFIX/share/twksetup, documents, the
# example and the man page under PREFIX/share; DESTDIR is put in front of every path.
PREFIX ?= /usr/local
# The Wine tier runs with only the standard folders on PATH, as on a fresh machine: a
# helper that some earlier install happened to put on PATH must not make it pass.
PLAIN_PATH := /usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

.PHONY: all setup host stubs stub-x86 stub-x64 twk-win64 fuzz test fuzz-smoke demo e2e screenshots bench bench-install sweep clean \
        install package package-test

all: host stubs twk-win64

setup:
	@scripts/setup.sh

build/host/build.ninja:
	@scripts/setup.sh --check
	cmake --preset host >/dev/null
build/stub-x86/build.ninja:
	@scripts/setup.sh --check
	cmake --preset stub-x86 >/dev/null
build/stub-x64/build.ninja:
	@scripts/setup.sh --check
	cmake --preset stub-x64 >/dev/null
build/twk-win64/build.ninja:
	@scripts/setup.sh --check
	cmake --preset twk-win64 >/dev/null
build/fuzz/build.ninja:
	@scripts/setup.sh --check
	cmake --preset fuzz >/dev/null

# The stubs come first: the host build turns the example into an installer with them.
host: stubs build/host/build.ninja
	cmake --build --preset host

stubs: stub-x86 stub-x64
stub-x86: build/stub-x86/build.ninja
	cmake --build --preset stub-x86
stub-x64: build/stub-x64/build.ninja
	cmake --build --preset stub-x64

# twk for Windows, build/bin/twk.exe: the same tool cross-built with mingw-w64.
twk-win64: build/twk-win64/build.ninja
	cmake --build --preset twk-win64

fuzz: build/fuzz/build.ninja
	cmake --build --preset fuzz

test: setup
	$(MAKE) all
	ctest --preset host
	env PATH=$(PLAIN_PATH) e2e/run-all.sh
	$(MAKE) fuzz-smoke
	scripts/package-install-test.sh --if-ci

install: all
	DESTDIR=$(DESTDIR) cmake --install build/host --prefix $(PREFIX) --strip

# build/package/twksetup_VERSION_ARCH.deb, installing under /usr, and
# build/package/twksetup-VERSION-win64.zip, twk.exe with its stubs, docs and example.
package: all
	cd build/host && cpack -G DEB
	cmake --build --preset host --target windows_package

# Installs the package with dpkg on this machine (as root), builds and verifies the
# example with the installed twk from another folder, and removes the package again.
package-test: package
	scripts/package-install-test.sh

fuzz-smoke: fuzz
	scripts/fuzz-smoke.sh $(FUZZ_SECONDS)

demo: setup
	$(MAKE) all
	scripts/demo.sh
	env PATH=$(PLAIN_PATH) scripts/demo-wine.sh

# The installer driven under Wine on a virtual screen, scenario by scenario (e2e/scenarios).
e2e: setup
	$(MAKE) all
	env PATH=$(PLAIN_PATH) e2e/run-all.sh

# docs/screenshots, taken by the robot on Wine's virtual desktop (e2e/screenshots.scn, and
# e2e/screenshots-de.scn for the German installer's).
screenshots: setup
	$(MAKE) all
	for dpi in 96 144; do for scenario in screenshots screenshots-de; do \
	  E2E_SHOTS=$(CURDIR)/docs/screenshots E2E_DPI=$$dpi e2e/run-scenario.sh e2e/$$scenario.scn || exit 1; \
	done; done

# The codec and twk beside bzip2 and tar on a folder of files: make bench CORPUS=DIR
# (the standard corpus: ../shared/bench/make-corpus.sh DIR). Prints figures, asserts none.
bench: all
ifdef CORPUS
	bench/compare.sh $(CORPUS) $(BENCH_RUNS)
else
	@echo "usage: make bench CORPUS=DIR [BENCH_RUNS=3]   (a corpus: ../shared/bench/make-corpus.sh DIR)"
	@echo "   or: build/host/bench/codec_bench DIR   (the codec alone, stage by stage)"
endif

# Our quiet install and uninstall of a folder of files under Wine beside NSIS's (zlib and
# lzma, solid): make bench-install CORPUS=DIR. Prints the medians, asserts nothing.
bench-install: all
ifdef CORPUS
	env PATH=$(PLAIN_PATH) bench/install_compare.sh $(CORPUS) $(BENCH_RUNS)
else
	@echo "usage: make bench-install CORPUS=DIR [BENCH_RUNS=3]   (a corpus: ../shared/bench/make-corpus.sh DIR)"
endif

# Every bit of the example installer's length word, mode byte, header, file entries and
# lists flipped, one at a time, a sample of its block bytes, and cuts all along it: prints
# the counts, fails on any fault. The damaged copies run on every processor.
sweep: host
	python3 tests/sweep/damage_sweep.py --twk build/bin/twk --installer build/host/examples/SETUP.EXE \
	  --jobs $$(nproc)

clean:
	rm -rf build
