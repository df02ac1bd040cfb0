# The two commands of the README:
#   make        installs what is missing, builds, and writes the product into dist/
#   make test   the same, then runs every test, also under AddressSanitizer and UBSan
# and for the keepers:
#   make fuzz   fuzzes the loader, the table reader and kvar check with libFuzzer
#               for FUZZ_SECONDS per target (default 60)

.PHONY: all test deps clean fuzz

all: deps
	cmake --preset release
	cmake --build --preset release
	rm -rf dist
	cmake --install build/release --prefix dist

test: all
	ctest --preset release
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

deps:
	@scripts/install-deps

FUZZ_SECONDS ?= 60

fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh

clean:
	rm -rf build dist
