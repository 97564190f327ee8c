#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need (only what is missing).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libsqlcipher-dev libssl-dev libfreexl-dev libzip-dev
          libgl-dev ccache sqlcipher libpq-dev postgresql python3-xlwt python3-xlsxwriter xvfb xauth poppler-utils fonts-dejavu-core time
          dpkg-dev fakeroot file lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests start a private PostgreSQL server of their own: its programs must be there.
if ! ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1; then
  echo "deps.sh: the postgresql package is installed but initdb is missing" >&2
  exit 1
fi
