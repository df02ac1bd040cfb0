# The two commands of the README:
#   make        installs what is missing, builds, and writes the product into dist/
#   make test   the same, then runs every test, also under AddressSanitizer and UBSan

.PHONY: all test deps clean

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

clean:
	rm -rf build dist
