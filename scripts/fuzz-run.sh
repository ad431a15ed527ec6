#!/usr/bin/env bash
# fuzz-run.sh TARGET SEED_DIR WORK_DIR SECONDS
# Runs one libFuzzer target for a bounded time, starting from the seed corpus
# kept in the repository; what it learns stays in WORK_DIR. A crash or a
# broken round trip leaves its input in WORK_DIR/crashes and fails.
set -euo pipefail
target=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work/corpus" "$work/crashes"
exec "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/crashes/" "$work/corpus" "$seeds"
