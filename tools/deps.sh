#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian 12 machine.
set -euo pipefail
pkgs=(cmake g++ clang make qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev tzdata)
missing=()
for p in "${pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
