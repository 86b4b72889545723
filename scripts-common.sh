# Shared by run.sh, test.sh and bench/run.sh: installs the Debian packages that
# are missing and builds into one configuration of a build folder.
VT_PACKAGES="cmake ninja-build g++ pkgconf qt6-base-dev qt6-serialport-dev libxlsxwriter-dev libzip-dev libpugixml-dev libhunspell-dev hunspell-en-us fonts-dejavu-core fontconfig"
# What only the tests need: clang and its runtimes for the fuzzer, LibreOffice
# to recompute a saved workbook with a spreadsheet program of others, poppler's
# pdfinfo and pdftotext to read back what was printed to a PDF file; Xvfb and
# openbox to look at what a real window system shows, xdotool to give the real
# program keys there (tests that need them
# start their own and skip without them).
VT_TEST_PACKAGES="clang libclang-rt-14-dev libreoffice-calc-nogui poppler-utils xvfb openbox xdotool"

vt_install() { # packages beyond VT_PACKAGES...
  local missing=() p installed
  # One query for all, matched in the shell: a process per package costs
  # a second on a busy machine.
  installed=$'\n'$(dpkg-query -W -f='${db:Status-Abbrev}${Package}\n' $VT_PACKAGES "$@" 2>/dev/null || true)$'\n'
  for p in $VT_PACKAGES "$@"; do
    [[ $installed == *$'\n'"ii $p"$'\n'* ]] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The one configuration of build/ that run.sh, test.sh and bench/run.sh share,
# so that none of them makes the others compile again.
VT_BUILD_ARGS="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_WERROR=ON"

# Configures `dir` with the given arguments unless it already is (configuring
# again costs seconds even when nothing changed; a changed CMakeLists.txt is
# picked up by the build itself), then builds the targets named after "--",
# or everything.
vt_build() { # dir, cmake args... [-- targets...]
  local dir=$1; shift
  local args=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  local stamp="$dir/vt-configured-with"
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${args[*]}" ]; then
    cmake -S "$VT_ROOT" -B "$dir" -G Ninja "${args[@]}" >/dev/null
    printf '%s' "${args[*]}" > "$stamp"
  fi
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"
  else
    cmake --build "$dir" -j"$(nproc)"
  fi
}
