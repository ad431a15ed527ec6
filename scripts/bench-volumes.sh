#!/usr/bin/env bash
# Measures the conversion against the per-file syncing copy on the volumes a
# technician plugs in: exFAT through exfat-fuse and NTFS through ntfs-3g,
# each an image on a loop device. Run as root. Nothing is left mounted.
#   scripts/bench-volumes.sh [FILES [ROUNDS]]      (default 1000 files, 7 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-1000}
rounds=${2:-7}
[ "$(id -u)" -eq 0 ] || { echo "bench-volumes: loop devices and mounts need root" >&2; exit 1; }

for p in exfat-fuse exfatprogs ntfs-3g; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null
done
scripts/build.sh >/dev/null

work=$(mktemp -d /var/tmp/rekoda-volumes-XXXXXX)
loop=""
cleanup() {
  mountpoint -q "$work/mnt" 2>/dev/null && umount "$work/mnt"
  [ -n "$loop" ] && losetup -d "$loop" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

for fs in exfat ntfs; do
  image="$work/$fs.img"
  truncate -s 2G "$image"
  case $fs in
    exfat) mkfs.exfat -q "$image" >/dev/null 2>&1 || mkfs.exfat "$image" >/dev/null ;;
    ntfs) mkntfs -q -F -f "$image" >/dev/null 2>&1 ;;
  esac
  loop=$(losetup -f --show "$image")
  mkdir -p "$work/mnt"
  case $fs in
    exfat) mount.exfat-fuse "$loop" "$work/mnt" ;;
    ntfs) ntfs-3g "$loop" "$work/mnt" ;;
  esac
  # The syncing copy and the core alone, in rotated order each round: with
  # the files on the stick too, and read from the local disk (a day's files
  # written to a stick).
  echo "== $fs ($(findmnt -no FSTYPE "$work/mnt")), source and destination on it =="
  build/bench/rekoda_bench --dir "$work/mnt" --convert "$files" --rounds "$rounds" --list 1000 --variants 0,2 |
    grep -v '^  round' || true
  echo "== $fs ($(findmnt -no FSTYPE "$work/mnt")), source on the local disk =="
  build/bench/rekoda_bench --dir "$work/mnt" --source-dir "$work" --convert "$files" --rounds "$rounds" \
    --list 1000 --variants 0,2 | grep -v '^  round' || true
  umount "$work/mnt"
  losetup -d "$loop"
  loop=""
done
