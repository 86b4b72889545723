# Shared by run.sh and test.sh: installs the Debian packages that are missing.
VT_PACKAGES="cmake ninja-build g++ pkgconf qt6-base-dev qt6-serialport-dev libxlsxwriter-dev libzip-dev libpugixml-dev fonts-dejavu-core fontconfig clang libclang-rt-14-dev"

vt_install() {
  local missing=() p
  for p in $VT_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

vt_build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$VT_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
