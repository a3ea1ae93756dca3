#!/bin/sh
# A tiny size-limited folder (tmpfs) for the disk-full tests, made and removed
# around them by CTest:  small-disk.sh setup DIR | cleanup DIR
# Mounting needs root; without it the folder stays ordinary and the tests
# that need a full disk skip themselves (they look for DIR/.small-disk).
set -u
dir=$2
case "$1" in
  setup)
    mkdir -p "$dir"
    mountpoint -q "$dir" && umount "$dir" 2>/dev/null
    if mount -t tmpfs -o size=256k,mode=0777 nelo-small-disk "$dir" 2>/dev/null; then
      touch "$dir/.small-disk"
    else
      echo "small-disk: cannot mount a tmpfs here; disk-full tests will skip"
    fi
    ;;
  cleanup)
    mountpoint -q "$dir" && umount "$dir"
    rm -rf "$dir"
    ;;
esac
exit 0
