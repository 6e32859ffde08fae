#!/usr/bin/env bash
# Runs the full-volume test of the process tests with the program folder on a small volume of its
# own (a tmpfs mounted for the run). Exits 77 (skipped) where no volume can be mounted.
set -u
tests="$1"
dir=$(mktemp -d)
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo -n"; fi
if ! $SUDO mount -t tmpfs -o size=80m tmpfs "$dir" 2>/dev/null; then
  rmdir "$dir"
  echo "no small volume can be mounted here"
  exit 77
fi
# Wine's server may still hold the folder open for a moment after the program ends.
trap '$SUDO umount -l "$dir"; rmdir "$dir" 2>/dev/null' EXIT
$SUDO chmod 777 "$dir"
MV_FULL_VOLUME="Z:${dir//\//\\}" wine "$tests" --gtest_brief=1 --gtest_filter='FullVolume.*'
