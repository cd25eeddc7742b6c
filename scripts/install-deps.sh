#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (scripts/debian-packages.txt): every
# group, or only the groups named (install-deps.sh build desktop). Runs as root (or through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
wanted=" $* "
packages=()
group=""
while read -r line; do
  case $line in
    "" | "#"*) ;;
    "["*"]") group=${line#[}; group=${group%]} ;;
    *) if [ $# -eq 0 ] || [[ "$wanted" == *" $group "* ]]; then packages+=("$line"); fi ;;
  esac
done <scripts/debian-packages.txt
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "All ${#packages[@]} build packages are installed."
  exit 0
fi
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
