#!/usr/bin/env bash
# clang-tidy over src/ (the checks of .clang-tidy) and a build of src/ with
# -Wshadow -Wconversion as errors: both must be clean.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${LINT_BUILD_DIR:-build-lint}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DREKODA_BUILD_TESTS=OFF -DREKODA_BUILD_BENCH=OFF -DREKODA_FUZZ_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=-Wshadow -Wconversion -Werror" >/dev/null
# The build makes the moc files clang-tidy reads, and is the warnings' check.
cmake --build "$build" -j "$(nproc)" --target rekoda rekoda-cli
mapfile -t sources < <(find src -name '*.cpp' ! -name '*_windows.cpp' | sort)
run-clang-tidy -quiet -p "$build" "${sources[@]/#/$PWD/}" 2>&1 | grep -v '^clang-tidy\|^[0-9]* warnings generated' | tee "$build/lint.log"
! grep -q 'error:' "$build/lint.log" || { echo "lint: clang-tidy findings above" >&2; exit 1; }
echo "lint: clang-tidy and -Wshadow -Wconversion clean in src/"
