#!/usr/bin/env bash
# Runs each libFuzzer target for the given number of seconds (default 30) from a copy of its
# seed corpus. Any crash or sanitizer report fails the run: the report is shown, the whole
# log and the input that caused it stay in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-30}
bash scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "$(nproc)" --target fuzzers

artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
shopt -s nullglob
ran=0
failed=()
for target in build/fuzz/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds=fuzz/corpus/${name#fuzz_}
  if [ ! -d "$seeds" ]; then
    echo "!! $name: no seed corpus at $seeds" >&2
    failed+=("$name")
    continue
  fi
  # A scratch copy, so what the fuzzer adds does not land in the committed corpus.
  corpus=$(mktemp -d)
  cp "$seeds"/. "$corpus"/ -r
  log=$artifacts/$name.log
  echo "== $name for ${secs}s"
  if "$target" -max_total_time="$secs" -max_len=8192 -timeout=5 -rss_limit_mb=2048 \
      -dict=fuzz/bio.dict -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1; then
    grep -E '^Done|#[0-9]+ *DONE' "$log" | tail -n 2 || tail -n 3 "$log"
  else
    failed+=("$name")
    echo "!! $name failed:"
    grep -n -m1 -A40 -E 'ERROR:|fuzz check failed|runtime error|deadly signal' "$log" || tail -n 60 "$log"
    echo "!! inputs kept:" "$artifacts/$name"-*
  fi
  rm -rf "$corpus"
  ran=$((ran + 1))
done

if [ "$ran" -eq 0 ]; then
  echo "!! no fuzz targets in build/fuzz/fuzz" >&2
  exit 1
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "!! failed: ${failed[*]}" >&2
  exit 1
fi
echo "== all fuzz targets ran ${secs}s with no crash"
