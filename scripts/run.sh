#!/usr/bin/env bash
# Installs what is missing, builds, and opens the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec "${BUILD_DIR:-build}/src/rekoda" "$@"
