#!/usr/bin/env bash
# Runs a command inside a fresh Xvfb of its own (a free display number), then stops the server.
set -euo pipefail
exec xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24 -nolisten tcp -noreset" "$@"
