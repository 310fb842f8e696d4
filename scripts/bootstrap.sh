#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Idempotent: does nothing (and asks no network) when everything is present.
set -euo pipefail
packages=(g++ cmake ninja-build qt6-base-dev libcurl4-openssl-dev libgtest-dev libgmock-dev
          libbenchmark-dev python3-ezdxf python3-matplotlib clang libclang-rt-14-dev
          libgl-dev fonts-dejavu-core gdal-bin
          xvfb openbox xdotool x11-apps x11-utils python3-numpy)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "bootstrap: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
