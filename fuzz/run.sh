#!/usr/bin/env bash
# Builds the archive fuzz target with clang and runs it for N seconds
# (default 60): fuzz/run.sh [SECONDS] [extra libFuzzer options...]
set -euo pipefail
seconds="${1:-60}"
shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUNV_FUZZ_BUILD_DIR:-$root/build-fuzz}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLUNV_BUILD_FUZZ=ON -DLUNV_BUILD_GUI=OFF -DLUNV_BUILD_TESTS=OFF -DLUNV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_extract fuzz_make_corpus

corpus="$build/fuzz/corpus"
mkdir -p "$corpus" "$build/fuzz/artifacts"
[ -n "$(ls -A "$corpus")" ] || "$build/fuzz/fuzz_make_corpus" "$corpus"
exec "$build/fuzz/fuzz_extract" "$corpus" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=2048 -timeout=20 -artifact_prefix="$build/fuzz/artifacts/" "$@"
