# The two commands of the README. Each installs the Debian packages it needs when
# they are missing, configures, builds and runs.
#   make demo   builds build/ and draws the demo and its order list into out/
#   make test   builds and tests build/ (normal) and build-asan/ (ASan + UBSan)

JOBS ?= $(shell nproc)
DEB_PACKAGES := cmake g++ make pkg-config libsqlite3-dev sqlite3 libgtest-dev libgmock-dev \
                python3 python3-ezdxf python3-matplotlib fonts-wqy-microhei qt6-base-dev \
                libcairo2-dev libfontconfig-dev libbenchmark-dev time libxlsxwriter-dev python3-openpyxl
CMAKE_FLAGS ?=

.PHONY: all deps build build-asan demo bench test test-normal test-asan clean

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B build $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -DZDT_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)

# The default mould base of samples/default_mould_base.zdt, drawn by zdtcad,
# then its order list made from the saved drawing (samples/demo_order_list.zdt),
# and the pin-point series' default base of samples/default_pin_point_base.zdt.
demo: build
	@mkdir -p out/pin-point
	./build/bin/zdtcad --dialog-pictures out --save out/demo.dxf --svg out/demo.svg --png out/demo.png \
	    samples/default_mould_base.zdt
	./build/bin/zdtcad --template out/demo.dxf --save out/demo-order.dxf --png out/demo-order.png \
	    samples/demo_order_list.zdt
	./build/bin/zdtcad --dialog-pictures out/pin-point --save out/demo-pin-point.dxf --png out/demo-pin-point.png \
	    samples/default_pin_point_base.zdt

# Benchmarks and the catalogue sweep's time; writes bench/RESULTS.md.
bench: build
	./bench/run_benchmarks.sh --write build


# The tests build with warnings as errors, as CI does.
test-normal: CMAKE_FLAGS += -DZDT_WERROR=ON
test-normal: build
	cd build && ctest --output-on-failure -j $(JOBS)

test-asan: CMAKE_FLAGS += -DZDT_WERROR=ON
test-asan: build-asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

test: test-normal test-asan

clean:
	rm -rf build build-asan out
