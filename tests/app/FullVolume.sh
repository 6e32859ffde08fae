#!/usr/bin/env bash
# Runs the volume tests of the process tests with a small volume of their own (a tmpfs mounted
# for the run) and a read-only view of it (a second mount of the same volume, where nobody, root
# included, may write). Exits 77 (skipped) where no volume can be mounted.
set -u
tests="$1"
dir=$(mktemp -d)
view=$(mktemp -d)
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo -n"; fi
if ! $SUDO mount -t tmpfs -o size=80m tmpfs "$dir" 2>/dev/null; then
  rmdir "$dir" "$view"
  echo "no small volume can be mounted here"
  exit 77
fi
# Wine's server may still hold the folders open for a moment after the program ends.
trap '$SUDO umount -l "$view" 2>/dev/null; $SUDO umount -l "$dir"; rmdir "$view" "$dir" 2>/dev/null' EXIT
$SUDO chmod 777 "$dir"
if $SUDO mount --bind "$dir" "$view" 2>/dev/null && $SUDO mount -o remount,bind,ro "$view" 2>/dev/null; then
  export MV_READONLY_VIEW="Z:${view//\//\\}"
fi
MV_FULL_VOLUME="Z:${dir//\//\\}" wine "$tests" --gtest_brief=1 --gtest_filter='FullVolume.*:ReadOnlyVolume.*'
