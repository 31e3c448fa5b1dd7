#!/bin/sh
# Installs the Debian packages that building, testing and running Zebrolite need, when any
# is missing. Runs apt-get as root, or through sudo; otherwise prints what to install.
set -eu

packages="build-essential make cmake pkg-config git ccache
libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core
libpng-dev zlib1g-dev libfreetype-dev libcurl4-openssl-dev libcpp-httplib-dev libsqlite3-dev libboost-dev libssl-dev
libgtest-dev libgmock-dev libbenchmark-dev dpkg-dev desktop-file-utils appstream
chromium libpq-dev postgresql nginx-light wrk
clang libclang-rt-14-dev libfuzzer-14-dev llvm"

missing=""
for package in $packages; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $package" ;;
  esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
  run=""
elif command -v sudo >/dev/null 2>&1; then
  run="sudo"
else
  echo "Please install these packages as root: apt-get install$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$run apt-get update -qq
# shellcheck disable=SC2086
$run apt-get install -y -qq --no-install-recommends $missing
