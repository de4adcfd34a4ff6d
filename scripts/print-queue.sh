#!/usr/bin/env bash
# Makes sure the print service runs with a PDF queue, so the printing test has a printer to print
# on, and prints the folder the queue writes its files into. Fails (and the test is skipped) where
# the service cannot be started: it needs root, or sudo without a password.
set -euo pipefail

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo -n true 2>/dev/null || { echo "print-queue: no root, printing test skipped" >&2; exit 1; }
  sudo="sudo -n"
fi
command -v cupsd >/dev/null && command -v lpadmin >/dev/null || {
  echo "print-queue: cups is not installed" >&2
  exit 1
}
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  $sudo cupsd
  for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
  done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  $sudo lpadmin -p PDF -v cups-pdf:/ -E -P "$ppd" 2>/dev/null
  $sudo lpadmin -d PDF
fi
# The queue writes into a folder of the home of the user who prints.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
mkdir -p "$home/PDF"
echo "$home/PDF"
