#!/usr/bin/env bash
# Renders screenshots of the main window into docs/ (or the folder given), headless.
set -euo pipefail
cd "$(dirname "$0")/../.."
make build >/dev/null
QT_QPA_PLATFORM=offscreen ./build/tests/orvanta-screenshots "${1:-docs}"
