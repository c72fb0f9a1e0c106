#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Safe to run again; does nothing when everything is in place.
#   scripts/setup.sh         # everything: the tests and fuzzing included
#   scripts/setup.sh tool    # only what the libraries and zemcomp need
set -euo pipefail

packages=(cmake ninja-build g++ git pkg-config ccache rapidjson-dev libpugixml-dev libcli11-dev
    help2man)
if [ "${1:-all}" != tool ]; then
    packages+=(libgtest-dev libgmock-dev libexpat1-dev clang libclang-rt-14-dev)
    # The Python module and its tests, for the system's /usr/bin/python3.
    packages+=(python3 python3-dev pybind11-dev python3-pytest)
    # pip install . into a new virtual environment, which the suite tries.
    packages+=(python3-venv)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
