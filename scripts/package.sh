#!/usr/bin/env bash
# Installs what is missing, builds in build/ and makes the Debian package of the client.
# Usage: scripts/package.sh
#   The package's path (build/luming_<version>_<architecture>.deb) is the one line on standard
#   output. Install it with `sudo apt install ./build/luming_*.deb`.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$root/scripts/deps.sh" >&2
build_dir=$("$root/scripts/build.sh" | tail -n 1)

log=$(cd "$build_dir" && cpack -G DEB | tee /dev/stderr)
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$log")
[[ -f $deb ]] || { echo "package: cpack made no package" >&2; exit 1; }
echo "$deb"
