#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 or 13 machine, builds Patchferry and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ -x build/app/patchferry ]; then
  exec build/app/patchferry "$@"
fi
# Without the window, the command-line companion is what there is.
exec build/tools/patchferry-cli "${@:---help}"
