#!/usr/bin/env bash
# src/ held to .clang-tidy (bugprone-*, performance-*, functions of at most
# 50 lines) and built with -Wshadow -Wconversion as errors; both must be
# clean. The *_windows.cpp files are held to the warnings by the Windows
# build; clang-tidy reads what this system compiles.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${LINT_BUILD_DIR:-build-lint}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DREKODA_BUILD_TESTS=OFF -DREKODA_BUILD_BENCH=OFF -DREKODA_FUZZ_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=-Wshadow -Wconversion -Werror" >/dev/null
# The build is the warnings' check, and makes the moc files clang-tidy reads.
cmake --build "$build" -j "$(nproc)" --target rekoda rekoda-cli
mapfile -t sources < <(find "$PWD/src" -name '*.cpp' ! -name '*_windows.cpp' | sort)
status=0
run-clang-tidy -quiet -p "$build" "${sources[@]}" >"$build/lint.log" 2>&1 || status=$?
if [ "$status" -ne 0 ] || grep -q 'error:' "$build/lint.log"; then
  grep -E -A4 '(error|warning):' "$build/lint.log" >&2 || cat "$build/lint.log" >&2
  echo "lint: clang-tidy findings in src/ (above)" >&2
  exit 1
fi
echo "lint: src/ is clang-tidy clean and builds without -Wshadow -Wconversion warnings"
