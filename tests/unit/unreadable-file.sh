#!/usr/bin/env bash
# Runs the ini tool (native, or the Windows build under Wine) on a file that its user may not read, as
# a user who may not read it: root reads every file, so the tool runs in a user namespace of its own,
# where root's rights over other files are gone. Exits 77 (skipped) where the system offers none.
set -u
tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '[s]\r\nk=1\r\n' >"$scratch/denied.ini"
chmod 000 "$scratch/denied.ini"
unshare -U true 2>/dev/null || { echo "no user namespaces here"; exit 77; }
case "$tool" in
  *.exe)
    [ -n "${WINEPREFIX:-}" ] || { echo "no Wine prefix"; exit 77; }
    # Wine in the namespace starts a server of its own, so it gets a prefix of its own: hard links, at
    # once (Wine replaces the files it changes rather than writing into them).
    cp -al "$WINEPREFIX" "$scratch/prefix"
    WINEPREFIX="$scratch/prefix" unshare -U bash -c \
      'wine "$0" get "Z:$1" s k 2>&1; status=$?; wineserver -k; exit $status' "$tool" "$scratch/denied.ini"
    ;;
  *)
    unshare -U "$tool" get "$scratch/denied.ini" s k 2>&1
    ;;
esac
