#!/usr/bin/env bash
# Builds Sroko, creates its database with demo data when it is missing, and starts it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$ROOT/scripts/setup.sh"
BUILD="$ROOT/build"
mkdir -p "$BUILD/Base"
if [ ! -f "$BUILD/Base/Sroko.fdb" ]; then
  "$BUILD/sroko-createdb" "$BUILD/Base/Sroko.fdb" --demo
  # The demo's switched-on reports get this year's schedule, as the user would make it.
  "$BUILD/sroko-cli" generate --db "$BUILD/Base/Sroko.fdb"
fi
exec "$BUILD/sroko" "$@"
