#!/usr/bin/env bash
# Installs the Debian packages Verselet needs to build and test, or the packages named
# as arguments; says nothing when all are there.
set -euo pipefail

packages=(
  build-essential cmake pkgconf
  qt6-base-dev libgl-dev libxcb1-dev
  libicu-dev libsimpleini-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  qt6-translations-l10n
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libtag1-dev
  shared-mime-info desktop-file-utils appstream
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Run as root (or install these packages yourself)." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
