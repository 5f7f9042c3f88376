#!/usr/bin/env bash
# The first CalDAV download of norvane-cli beside vdirsyncer's: norvane_sync_bench fills a local
# radicale with EVENTS events (200 and 1,000 by default), times its own steps, then downloads
# the calendar into an empty folder with norvane-cli and into an empty vdir with vdirsyncer,
# each five times in turn, and prints the medians and their ratio. Installs vdirsyncer (and
# radicale) from Debian when missing.
#   bench/sync_beside_vdirsyncer.sh [BUILD_DIR] [EVENTS...]
set -euo pipefail
build=${1:-build}
shift || true
for tool in vdirsyncer radicale; do
    command -v "$tool" >/dev/null || sudo -n apt-get install -y -q "$tool" >/dev/null ||
        apt-get install -y -q "$tool" >/dev/null
done
exec "$build/bin/norvane_sync_bench" --vdirsyncer "$@"
