#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the tools need.
# Idempotent: asks apt only for packages that are not installed yet.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # product
  zlib1g-dev libsndfile1-dev libpng-dev lv2-dev
  libx11-dev libxext-dev libegl-dev libgl-dev libfreetype-dev fonts-dejavu-core
  # OpenGL at run time: Mesa's EGL and GLX drivers (llvmpipe renders without a display)
  libegl-mesa0 libglx-mesa0 libgl1-mesa-dri
  # tests and tools
  libgtest-dev libgmock-dev libbenchmark-dev
  lilv-utils liblilv-dev sordi xvfb xdotool x11-utils libxres-dev clang
  # real-time hosting tests
  jackd2 jalv
  # the standalone application
  libjack-jackd2-dev
  # a real DAW driven headless by its session tool (the Ardour session tests)
  ardour
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to raise real-time limits; answer no without a prompt.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $SUDO debconf-set-selections
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
