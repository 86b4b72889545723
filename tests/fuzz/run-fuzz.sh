#!/bin/bash
# Builds the libFuzzer targets with clang and runs each in two steps: every
# seed once, as a regression check, then a short exploration from those seeds.
# The targets: the RTF reader (seeds tests/fuzz/corpus plus the RTF fixtures),
# the .xlsx reader (the workbook template the build makes) and the export's shot-line and dump readers
# (tests/fuzz/corpus-readers). The exploration is a fixed
# number of runs from a fixed seed, so the same code gives the same verdict
# every time; a new finding cannot turn a test run red at random.
# Skips, successfully, when clang++ or its fuzzer runtime is not installed.
#   VT_FUZZ_RUNS     runs of each exploration (default 20000)
#   VT_FUZZ_SEED     its random seed (default 1)
#   VT_FUZZ_SECONDS  explore for this long instead of a number of runs (a
#                    longer local hunt; with a random seed unless one is set)
# A crash exits non-zero and leaves the input that caused it in the build
# folder; add it to that target's corpus once it is mended.
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

echo "fuzz: building"
# The library is built with clang and the fuzzer's coverage hooks in a tree of
# its own, with the project's warnings as errors as in every other build (clang
# finds some that g++ does not); the targets link libFuzzer's runtime
# (cmake/fuzz.cmake).
flags="-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DVT_FUZZ=ON -DVT_WERROR=ON -DVT_BENCH=OFF >"$out/configure.log" 2>&1 \
  || { tail -n 20 "$out/configure.log"; echo "fuzz: configure FAILED"; exit 1; }
cmake --build "$out" --target fuzz_rtfreader fuzz_xlsx fuzz_expreaders xltemplate >"$out/build.log" 2>&1 \
  || { grep -m 20 -B2 -A8 'error' "$out/build.log" || tail -n 40 "$out/build.log"; echo "fuzz: build FAILED"; exit 1; }

# Qt keeps some caches for the whole process; leaks are checked by the
# sanitizer build of the tests instead. The fuzzer steers by coverage: a
# fixed hash seed for Qt's hash tables and fixed addresses (no ASLR, where the
# system allows it) keep it the same on every run.
norand=()
setarch "$(uname -m)" -R true 2>/dev/null && norand=(setarch "$(uname -m)" -R)
# fuzz TARGET ARGS...: one libFuzzer run of a target, stopping the script on a finding.
fuzz() {
  local target=$1
  shift
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen QT_HASH_SEED=0 \
    "${norand[@]}" "$out/fuzz/$target" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$out/$target-" -print_final_stats=0 "$@" >"$out/$target.log" 2>&1
  local rc=$?
  if [ $rc -ne 0 ]; then
    tail -n 40 "$out/$target.log"
    echo "fuzz: $target FAILED (exit $rc); the input is named above or left in $out/"
    exit $rc
  fi
}

# campaign TARGET DICT SEEDS...: every seed once, as a regression check, then
# the exploration from a copy of them (it adds what it finds to its corpus).
campaign() {
  local target=$1 dict=$2
  shift 2
  local seeds=("$@")
  echo "fuzz: $target: ${#seeds[@]} seeds once each"
  fuzz "$target" -dict="$dict" "${seeds[@]}"
  local work="$out/work-$target"
  rm -rf "$work" && mkdir -p "$work" && cp "${seeds[@]}" "$work"/
  if [ -n "$seconds" ]; then
    echo "fuzz: $target: exploring for ${seconds}s${seed:+ from seed $seed}"
    fuzz "$target" -dict="$dict" -max_total_time="$seconds" ${seed:+-seed="$seed"} "$work"
  else
    # Values the code compares would steer it too, but among them are
    # addresses (every loop over a vector compares pointers), which differ
    # from run to run; the dictionary gives it the format's words instead.
    echo "fuzz: $target: exploring $runs runs from seed ${seed:-1}"
    fuzz "$target" -dict="$dict" -runs="$runs" -seed="${seed:-1}" -use_cmp=0 "$work"
  fi
  rm -rf "$work"
  grep -E "^#[0-9]+[[:space:]]+DONE" "$out/$target.log" | tail -n 1
}

campaign fuzz_rtfreader "$here/rtf.dict" "$here"/corpus/* "$root"/tests/fixtures/rtf/*.rtf
# The workbook template the build makes is a real .xlsx to start from.
campaign fuzz_xlsx "$here/xlsx.dict" "$out"/resources/CBoox.xls
campaign fuzz_expreaders "$here/readers.dict" "$here"/corpus-readers/*
echo "fuzz: clean"
