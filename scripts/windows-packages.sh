#!/usr/bin/env bash
# Makes the Windows installer and the portable zip of a cross build (scripts/cross-build-windows.sh)
# and writes them into its build folder:
#   Patchferry-<version>-setup.exe        the installer (NSIS, per user, no administrator rights)
#   Patchferry-<version>-windows-x64.zip  the same files in a folder, to unpack and run
# The files are gathered with `cmake --install --component windows` (packaging/windows/), and the
# folder must hold exactly the DLLs its programs load: every DLL they import is either in it or
# part of Windows, and every DLL in it is imported by something there. The programs must carry
# their version resource, the window its icon.
#
# usage: scripts/windows-packages.sh <Windows build folder>
set -euo pipefail
build=$(realpath "$1")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "windows-packages: no configured build in $build" >&2; exit 1; }
name=Patchferry-$version
package=$build/package
stage=$package/Patchferry
nsis=$build/packaging/windows
rm -rf "$package"
cmake --install "$build" --component windows --prefix "$stage" >/dev/null
# Without their debugging information: it is most of the size (libstdc++ alone carries 20 MB).
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# ---- exactly the DLLs the programs need ----
# Windows' own DLLs, as Wine provides them (Wine's DLL names are lower case, as are those below);
# api-ms-win-* names are API sets, which Windows maps to its DLLs.
windows_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | lower; }
lower() { tr '[:upper:]' '[:lower:]'; }
problems=0
declare -A imported=() shipped=()
for file in "$stage"/*.dll; do shipped[$(basename "$file" | lower)]=1; done
while IFS= read -r binary; do
  for dll in $(imports "$binary"); do
    imported[$dll]=1
    if [ -z "${shipped[$dll]:-}" ] && [ ! -e "$windows_dlls/$dll" ] && [[ $dll != api-ms-win-* ]]; then
      echo "windows-packages: ${binary#"$stage"/} needs $dll, which is neither shipped nor Windows'" >&2
      problems=$((problems + 1))
    fi
  done
done < <(find "$stage" -name '*.exe' -o -name '*.dll')
for dll in "${!shipped[@]}"; do
  if [ -z "${imported[$dll]:-}" ]; then
    echo "windows-packages: $dll is shipped but nothing loads it" >&2
    problems=$((problems + 1))
  fi
done
# Explorer shows each program's version, and the window's icon.
for program in patchferry patchferry-cli; do
  resources=$(x86_64-w64-mingw32-windres -i "$stage/$program.exe" -O rc 2>/dev/null || true)
  grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$resources" || {
    echo "windows-packages: $program.exe carries no version $version" >&2
    problems=$((problems + 1))
  }
done
grep -q RT_GROUP_ICON <<<"$(x86_64-w64-mingw32-windres -i "$stage/patchferry.exe" -O rc 2>/dev/null)" || {
  echo "windows-packages: patchferry.exe carries no icon" >&2
  problems=$((problems + 1))
}
[ "$problems" -eq 0 ] || exit 1

# ---- the zip ----
rm -f "$build/$name-windows-x64.zip"
(cd "$package" && cmake -E tar cf "$build/$name-windows-x64.zip" --format=zip Patchferry)

# ---- the installer: the files one by one, so that the uninstaller removes exactly those ----
windows_path() { echo "${1//\//\\}"; }
{
  while IFS= read -r folder; do
    echo "SetOutPath \"\$INSTDIR$(windows_path "${folder#.}")\""
    find "$stage/$folder" -maxdepth 1 -type f | sort | sed 's/.*/File "&"/'
  done < <(cd "$stage" && find . -type d | sort)
} >"$nsis/installs.nsh"
{
  (cd "$stage" && find . -type f | sort) | while IFS= read -r file; do
    echo "Delete \"\$INSTDIR$(windows_path "${file#.}")\""
  done
  (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while IFS= read -r folder; do
    echo "RMDir \"\$INSTDIR$(windows_path "${folder#.}")\""
  done
} >"$nsis/uninstalls.nsh"
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -DOUTFILE="$build/$name-setup.exe" -DSIZE_KB="$size_kb" "$nsis/patchferry.nsi"

for file in "$build/$name-setup.exe" "$build/$name-windows-x64.zip"; do
  echo "$(basename "$file"): $(du -h "$file" | cut -f1)"
done
