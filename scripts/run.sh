#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from build/taviro/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/taviro/taviro"
