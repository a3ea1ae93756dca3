#!/usr/bin/env bash
# Installs what building, testing and the demo need on Debian 12 (run as root).
# Quick when everything is already there.
set -euo pipefail
pkgs=(cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 mingw-w64-tools wine xvfb
      pulseaudio pulseaudio-utils
      espeak-ng libespeak-ng-dev sox googletest)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive

apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
