#!/usr/bin/env bash
# The installer as a user runs it, silently, for this user and then for every user: the programs
# in place and starting from there, the Start menu entry, projects opened by pexol (the registry
# read back), the entry in Windows' list of programs; then its uninstaller leaves no file and no
# key it made. Usage: InstallerTest.sh SETUP (WINE and WINEPREFIX set, as CTest sets them).
set -euo pipefail
setup=$1
wine=${WINE:-wine}
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
key() { "$wine" reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }
has() { "$wine" reg query "$1" >/dev/null 2>&1; }

for mode in CurrentUser AllUsers; do
  hive=HKCU
  [ "$mode" = AllUsers ] && hive=HKLM
  target="C:\\pexol-$mode"
  folder="$WINEPREFIX/drive_c/pexol-$mode"
  "$wine" "$setup" /S "/$mode" "/D=$target" </dev/null >/dev/null 2>&1 || fail "$mode: setup"
  for file in pexol.exe pexol-cli.exe README.txt uninstall.exe locale/ja/LC_MESSAGES/pexol.mo; do
    [ -f "$folder/$file" ] || fail "$mode: $file is not installed"
  done
  version=$("$wine" "$folder/pexol-cli.exe" --version 2>/dev/null | tr -d '\r' || true)
  [[ "$version" == "pexol-cli "* ]] || fail "$mode: the installed pexol-cli.exe says '$version'"
  "$wine" "$folder/pexol.exe" --help </dev/null >/dev/null 2>&1 ||
    fail "$mode: the installed pexol.exe does not start"
  [ -n "$(find "$WINEPREFIX/drive_c" -name pexol.lnk -path '*Start Menu*')" ] ||
    fail "$mode: no Start menu entry"
  [ "$(key "$hive\\Software\\Classes\\.mpj")" = pexol.Project ] || fail "$mode: .mpj is not pexol's"
  type=$(key "$hive\\Software\\Classes\\pexol.Project")
  [ "$type" = "Video editing project" ] || fail "$mode: Explorer names projects '$type'"
  command=$(key "$hive\\Software\\Classes\\pexol.Project\\shell\\open\\command")
  [ "$command" = "\"$target\\pexol.exe\" \"%1\"" ] || fail "$mode: opens projects with '$command'"
  has "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\pexol" ||
    fail "$mode: not in the list of programs"

  # Uninstalled as Windows' list of programs does it silently; the uninstaller runs on from a
  # copy of itself in the temporary folder.
  entry="$hive\Software\Microsoft\Windows\CurrentVersion\Uninstall\pexol"
  quiet=$("$wine" reg query "$entry" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ *//p')
  [ -n "$quiet" ] || fail "$mode: no QuietUninstallString"
  program=${quiet#\"}
  program=${program%%\"*}
  # shellcheck disable=SC2086 # the options after the quoted program, one word each
  "$wine" "$program" ${quiet#*\" } </dev/null >/dev/null 2>&1 || fail "$mode: uninstall"
  for _ in $(seq 120); do
    [ -e "$folder" ] || has "$entry" || break
    sleep 0.5
  done
  [ ! -e "$folder" ] || fail "$mode: left $(find "$folder" | head -5 | tr '\n' ' ')"
  [ -z "$(find "$WINEPREFIX/drive_c" -name pexol.lnk -path '*Start Menu*')" ] ||
    fail "$mode: the Start menu entry is left"
  for left in "Software\\Classes\\.mpj" "Software\\Classes\\pexol.Project" \
    "Software\\pexol\\Installer" "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\pexol"; do
    if has "$hive\\$left"; then fail "$mode: the key $hive\\$left is left"; fi
  done
done
[ "$failures" = 0 ] && echo "installed, used and uninstalled for this user and for all users"
exit $((failures > 0))
