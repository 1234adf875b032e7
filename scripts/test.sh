#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test, then builds the Debian package (with the manuals) in a separate release
# build and checks it as installed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${VANTEL_TEST_BUILD:-build-test}
# The manuals are made and checked in the package build below.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTEL_SANITIZE=ON -DVANTEL_MANUALS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
(cd "$build" && ctest --output-on-failure -j 2)

# The package: Debian's hardening flags, no tests, installed under /usr.
package=${VANTEL_PACKAGE_BUILD:-build-package}
(
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  eval "$(dpkg-buildflags --export=sh)"
  export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
  cmake -S . -B "$package" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTEL_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
)
cmake --build "$package" -j "$(nproc)"
rm -f "$package"/vantel_*.deb
(cd "$package" && cpack -G DEB >/dev/null)
deb=$(ls "$package"/vantel_*.deb)
scripts/check-package.sh "$deb" "$build/tests/vantel-where"
lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs "$deb"
