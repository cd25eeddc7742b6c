#!/usr/bin/env bash
# Builds the Debian package from build/, lists it, installs it on this machine, runs the
# installed command-line tool, validates the desktop and AppStream files, and removes it again;
# then installs it on a fresh minbase system of this machine's Debian release, where it must
# bring everything it needs (package-check-fresh.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rm -f "$build"/patchferry_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/patchferry_*.deb)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$'

desktop-file-validate packaging/org.patchferry.Patchferry.desktop
appstreamcli validate --no-net --pedantic "$build"/packaging/org.patchferry.Patchferry.metainfo.xml

dpkg -i "$deb"
trap 'dpkg -r patchferry >/dev/null' EXIT
/usr/bin/patchferry-cli --help | head -n 1
version=$(dpkg-deb --field "$deb" Version)
test "$(/usr/bin/patchferry-cli --version)" = "patchferry-cli ${version%%-*}"
test -x /usr/bin/patchferry
test -f /usr/share/icons/hicolor/scalable/apps/org.patchferry.Patchferry.svg
man -w patchferry-cli >/dev/null 2>&1 || test -f /usr/share/man/man1/patchferry-cli.1.gz
echo "Package installs and runs."
dpkg -r patchferry >/dev/null
trap - EXIT
scripts/package-check-fresh.sh "$(. /etc/os-release && echo "$VERSION_CODENAME")" "$deb"
