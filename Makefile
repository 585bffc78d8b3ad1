# Two commands do all the set-up on a fresh Debian 12 machine: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)

# Debian packages the build, the tests and the benchmarks need; libqt6network6 carries Qt's TLS backends,
# which load libssl3 and check certificates against ca-certificates; libqt6sql6-sqlite is the SQLite driver
# of the verdict store; qt6-l10n-tools (lupdate, lrelease) and qt6-tools-dev (their CMake package) build the
# translations.
PACKAGES = g++ cmake ninja-build make qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n \
           libgl-dev fonts-dejavu-core whois xdg-utils python3 clang libclang-rt-14-dev \
           file dpkg-dev lintian desktop-file-utils appstream man-db tango-icon-theme \
           libqt6network6 libssl3 ca-certificates libc-ares-dev libqt6sql6-sqlite \
           qt6-l10n-tools qt6-tools-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build run test test-asan fuzz bench package clean

# Only the missing packages are installed. Another install running at the same time holds the package
# locks: apt-get install waits for the dpkg lock itself (DPkg::Lock::Timeout); apt-get update does not wait
# for the lists lock, so it is tried again every 5 s while that lock is held. Both give up after
# DPKG_LOCK_WAIT seconds.
DPKG_LOCK_WAIT ?= 600
APT_GET = $(SUDO) env DEBIAN_FRONTEND=noninteractive LC_ALL=C apt-get -o DPkg::Lock::Timeout=$(DPKG_LOCK_WAIT)

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		log=$$(mktemp); waited=0; \
		until $(APT_GET) update >"$$log" 2>&1; do \
			if ! grep -q 'Could not get lock' "$$log" || [ $$waited -ge $(DPKG_LOCK_WAIT) ]; then \
				cat "$$log"; rm -f "$$log"; exit 1; \
			fi; \
			echo "Waiting for another package install to finish"; sleep 5; waited=$$((waited + 5)); \
		done; \
		cat "$$log"; rm -f "$$log"; \
		$(APT_GET) install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/orvanta

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of their own.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTA_SANITIZE=ON
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets of tests/fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer), each run for
# FUZZ_SECONDS on a copy of its seed corpus; any crash, leak, sanitizer report or round-trip drift fails.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DORVANTA_FUZZ=ON
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS)
	tests/fuzz/run.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; \
		echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# The Debian package build/orvanta_<version>_<arch>.deb; lintian fails the step on any error it reports.
package: build
	rm -f $(BUILD_DIR)/orvanta_*.deb
	cd $(BUILD_DIR) && cpack -G DEB
	lintian --fail-on error $(BUILD_DIR)/orvanta_*.deb

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(FUZZ_BUILD_DIR)
