#!/usr/bin/env bash
# Runs each libFuzzer target for the given number of seconds (default 30) from its seed corpus.
# Any crash or sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-30}
bash scripts/install-deps.sh core
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "$(nproc)"
shopt -s nullglob
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  cp fuzz/corpus/"${name#fuzz_}"/* "$corpus"/ 2>/dev/null || true
  echo "== $name for ${secs}s"
  "$target" -max_total_time="$secs" -max_len=8192 -timeout=5 -rss_limit_mb=2048 \
    -dict=fuzz/bio.dict "$corpus" 2>&1 | tail -n 5
  rm -rf "$corpus"
done
