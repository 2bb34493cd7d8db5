#!/usr/bin/env bash
# Builds Sroko, creates its database with demo data when it is missing, and starts it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$ROOT/scripts/setup.sh"
BUILD="$ROOT/build"
mkdir -p "$BUILD/Base"
if [ ! -f "$BUILD/Base/Sroko.fdb" ]; then
  "$BUILD/sroko-createdb" "$BUILD/Base/Sroko.fdb" --demo
fi
exec "$BUILD/sroko" "$@"
