#!/bin/bash
# Builds the RTF reader's libFuzzer target with clang and runs it in two steps:
# every seed (tests/fuzz/corpus plus the RTF fixtures) once, as a regression
# check, then a short exploration from those seeds. The exploration is a fixed
# number of runs from a fixed seed, so the same code gives the same verdict
# every time; a new finding cannot turn a test run red at random.
# Skips, successfully, when clang++ or its fuzzer runtime is not installed.
#   VT_FUZZ_RUNS     runs of the exploration (default 20000, about 15 s)
#   VT_FUZZ_SEED     its random seed (default 1)
#   VT_FUZZ_SECONDS  explore for this long instead of a number of runs (a
#                    longer local hunt; with a random seed unless one is set)
# A crash exits non-zero and leaves the input that caused it in the build
# folder; add it to tests/fuzz/corpus once it is mended.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/tests/fuzz"
out="${VT_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${VT_FUZZ_SECONDS:-}"
runs="${VT_FUZZ_RUNS:-20000}"
seed="${VT_FUZZ_SEED:-}"

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

# Qt keeps some caches for the whole process; leaks are checked by the
# sanitizer build of the tests instead. The fuzzer steers by coverage: a
# fixed hash seed for Qt's hash tables and fixed addresses (no ASLR, where the
# system allows it) keep it the same on every run.
norand=()
setarch "$(uname -m)" -R true 2>/dev/null && norand=(setarch "$(uname -m)" -R)
fuzz() {
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen QT_HASH_SEED=0 \
    "${norand[@]}" "$out/fuzz_rtfreader" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$out/" -print_final_stats=0 -dict="$here/rtf.dict" "$@" >"$out/fuzz.log" 2>&1
  local rc=$?
  if [ $rc -ne 0 ]; then
    tail -n 40 "$out/fuzz.log"
    echo "fuzz: FAILED (exit $rc); the input is named above or left in $out/"
    exit $rc
  fi
}

seeds=("$here"/corpus/* "$root"/tests/fixtures/rtf/*.rtf)
echo "fuzz: ${#seeds[@]} seeds once each"
fuzz "${seeds[@]}"

# The exploration adds what it finds to its corpus: give it a copy.
work=$(mktemp -d /tmp/vtfuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "${seeds[@]}" "$work"/
if [ -n "$seconds" ]; then
  echo "fuzz: exploring for ${seconds}s${seed:+ from seed $seed}"
  fuzz -max_total_time="$seconds" ${seed:+-seed="$seed"} "$work"
else
  # Values the code compares would steer it too, but among them are
  # addresses (every loop over a vector compares pointers), which differ from
  # run to run; the dictionary gives it the RTF words instead.
  echo "fuzz: exploring $runs runs from seed ${seed:-1}"
  fuzz -runs="$runs" -seed="${seed:-1}" -use_cmp=0 "$work"
fi
grep -E "^#[0-9]+[[:space:]]+DONE" "$out/fuzz.log" | tail -n 1
echo "fuzz: clean"
