#!/bin/bash
# Builds the RTF reader's libFuzzer target with clang and runs it for a short,
# bounded time on the seed corpus (tests/fuzz/corpus plus the RTF fixtures).
# Skips, successfully, when clang++ or its fuzzer runtime is not installed.
# VT_FUZZ_SECONDS sets the time (default 20); a crash exits non-zero and
# leaves the input that caused it in the build folder.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/tests/fuzz"
out="${VT_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${VT_FUZZ_SECONDS:-20}"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: skipped (clang++ is not installed)"
  exit 0
fi
mkdir -p "$out"
probe="$out/probe.cpp"
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' > "$probe"
if ! clang++ -fsanitize=fuzzer,address "$probe" -o "$out/probe" >/dev/null 2>&1; then
  echo "fuzz: skipped (clang's libFuzzer runtime is not installed: libclang-rt-14-dev)"
  exit 0
fi

qt_flags=$(pkg-config --cflags --libs Qt6Gui) || { echo "fuzz: Qt6Gui not found by pkg-config"; exit 1; }
echo "fuzz: building"
# shellcheck disable=SC2086
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "$here/fuzz_rtfreader.cpp" "$root/src/platform/rtfreader.cpp" \
  "$root/src/platform/rtfwriter.cpp" $qt_flags -o "$out/fuzz_rtfreader" || exit 1

work=$(mktemp -d /tmp/vtfuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$here"/corpus/* "$root"/tests/fixtures/rtf/*.rtf "$work"/ 2>/dev/null
echo "fuzz: running for ${seconds}s"
# Qt keeps some caches for the whole process; leaks are checked by the
# sanitizer build of the tests instead.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
  "$out/fuzz_rtfreader" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/" -print_final_stats=0 "$work" >"$out/fuzz.log" 2>&1
rc=$?
if [ $rc -ne 0 ]; then
  tail -n 40 "$out/fuzz.log"
  echo "fuzz: FAILED (exit $rc); the input is in $out/"
  exit $rc
fi
grep -E "^#[0-9]+ +DONE" "$out/fuzz.log" | tail -n 1
echo "fuzz: clean"
