#!/usr/bin/env bash
# The Windows build writes the bytes the Linux build writes: texts, projects and exports of the
# demo project and of generated projects of every format version and software, and the Shift-JIS
# table itself. Usage: ByteIdentityTest.sh LINUX_BUILD WINDOWS_BUILD (WINE and WINEPREFIX set,
# as CTest sets them).
set -euo pipefail
linux=$1
windows=$2
wine=${WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
differ() {
  echo "DIFFERENT: $*"
  failures=$((failures + 1))
}
# Runs both builds' pexol-cli with the same arguments in their own folders, with the same input
# files, and compares the exit status, standard output and every file written.
both() {
  local name=$1
  shift
  rm -rf l w && mkdir l w && cp inputs/* l/ && cp inputs/* w/
  local ls ws
  (cd l && "$linux/cli/pexol-cli" "$@" >stdout 2>../stderr-l) && ls=0 || ls=$?
  (cd w && "$wine" "$windows/cli/pexol-cli.exe" "$@" >stdout 2>../stderr-w) && ws=0 || ws=$?
  if [ "$ls" != "$ws" ]; then
    differ "$name: exit status $ls on Linux, $ws on Windows"
    # What each said, to tell a fault of the build from one of Wine.
    head -c 600 stderr-l | sed 's/^/  linux: /'
    head -c 600 stderr-w | sed 's/^/  windows: /'
  fi
  # An export names media by paths, which the Windows build writes with its own separators
  # (escaped in JSON), absolute ones as Z:\tmp\... under Wine for the same /tmp folder. Both
  # builds' exports are compared with '\' read as '/', in names and texts alike.
  if [ -n "${PATHS:-}" ]; then
    local separators='s|\\|/|g'
    [ "$PATHS" = json ] && separators='s|\\\\|/|g'
    # A refused export (a name XML cannot hold) writes nothing on either side.
    local file
    for file in l/out* w/out*; do [ -f "$file" ] && sed -i -e "$separators" "$file"; done
    # Final Cut Pro 7 XML and FCPXML write the drive inside a URL as Z%3A.
    for file in w/out*; do
      [ -f "$file" ] && sed -i -e "s|Z:/|/|g" -e "s|localhost/Z%3A/|localhost/|g" \
        -e "s|file:///Z%3A/|file:///|g" -e "s|$work/w/|$work/l/|g" "$file"
    done
  fi
  diff -r l w >/dev/null || differ "$name: $(diff -rq l w | head -3)"
}

mkdir inputs
"$linux/tools/pexol-mkproject" demo inputs/demo.mpj
projects=(demo)
for version in 0x1FF 0x200 0x205 0x206 0x207 0x20A; do
  for software in corvane lumetta; do
    for seed in 1 2; do
      "$linux/tools/pexol-mkproject" random "$seed" "$version" "$software" \
        "inputs/$software-$version-$seed.mpj"
      projects+=("$software-$version-$seed")
    done
  done
done
"$linux/cli/pexol-cli" to-text inputs/demo.mpj inputs/demo.txt >/dev/null 2>&1

for project in "${projects[@]}"; do
  both "$project to-text" to-text "$project.mpj" out.txt
  both "$project to-text csv pal" to-text "$project.mpj" - --csv --timecode pal
  both "$project check" check "$project.mpj" --report report.txt
  PATHS=json both "$project export otio" export "$project.mpj" out.otio
  PATHS=plain both "$project export mlt" export "$project.mpj" out.mlt
  PATHS=plain both "$project export cmx3600" export "$project.mpj" out.edl
  PATHS=plain both "$project export kdenlive" export "$project.mpj" out.kdenlive
  PATHS=plain both "$project export fcp7" export "$project.mpj" out.xml
  PATHS=plain both "$project export fcpxml" export "$project.mpj" out.fcpxml
  # AAF holds its names as UTF-16 in a binary file; its writer is compared with the same paths.
  "$linux/tests/windows/pexol-aaf-bytes" "inputs/$project.mpj" aaf-linux
  "$wine" "$windows/tests/windows/pexol-aaf-bytes.exe" "inputs/$project.mpj" aaf-windows
  cmp -s aaf-linux aaf-windows ||
    differ "$project AAF: $(cmp aaf-linux aaf-windows 2>&1 | head -1)"
  rm -f aaf-linux aaf-windows
done
both "demo to-project" to-project demo.mpj demo.txt back.mpj
cmp -s l/back.mpj inputs/demo.mpj || differ "demo to-project: not the project it came from"

"$linux/tests/windows/pexol-encoding-table" >table-linux
"$wine" "$windows/tests/windows/pexol-encoding-table.exe" >table-windows
cmp -s table-linux table-windows ||
  differ "Shift-JIS table: $(diff table-linux table-windows | head -5)"

runs=$(( ${#projects[@]} * 9 + 2 ))
echo "$((runs - failures)) passed, $failures failed"
[ "$failures" = 0 ]
