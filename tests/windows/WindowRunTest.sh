#!/usr/bin/env bash
# The Win32 window's runs write the bytes the Linux command line writes: each page driven
# through the window's own controls (pexol.exe's script: --set, --click), the files it wrote
# compared with those of pexol-cli on Linux. Also: a typed destination is replaced only when
# the user agrees, the fields come back from the registry, and Japanese names pass whatever the
# code page. Usage: WindowRunTest.sh SOURCE_DIR LINUX_BUILD WINDOWS_BUILD (WINE, WINEPREFIX set).
set -euo pipefail
source_dir=$1
linux=$2
windows=$3
wine=${WINE:-wine}
work=$(mktemp -d)
runs=0
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
differ() {
  echo "DIFFERENT: $*"
  failures=$((failures + 1))
}
# A control's id as the page layer names it: id toTextSource gives 1016.
id() {
  sed -n "s/.*constexpr int $1 = \([0-9]*\);.*/\1/p" "$source_dir/app/pages/ControlIds.h"
}
# Runs the window in w/ with its own settings key, the script given, and closes it; the boxes
# it would show are collected in messages.txt.
window() {
  runs=$((runs + 1))
  local key="Software\\pexol-test-$$-$runs"
  rm -f messages.txt
  (cd w && "$wine" "$windows/pexol.exe" --settings "${SETTINGS:-$key}" \
    --messages "$(winepath -w "$work/messages.txt" 2>/dev/null)" "$@" --close) ||
    differ "window run $runs: exit status $?"
  [ -n "${SETTINGS:-}" ] || "$wine" reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true
}
fresh() {
  rm -rf l w && mkdir l w && cp inputs/* l/ && cp inputs/* w/
}
# The files of both folders, exports' paths read alike: the Windows build writes its own
# separators (escaped in JSON), absolute names as Z:\tmp\... under Wine.
compare() {
  local name=$1 file
  for file in l/out* w/out*; do
    [ -f "$file" ] || continue
    case "$file" in
      *.otio) sed -i -e 's|\\\\|/|g' "$file" ;;
      *.edl | *.mlt | *.kdenlive | *.xml) sed -i -e 's|\\|/|g' "$file" ;;
    esac
  done
  for file in w/out*; do
    [ -f "$file" ] && sed -i -e "s|Z:/|/|g" -e "s|localhost/Z%3A/|localhost/|g" \
      -e "s|$work/w/|$work/l/|g" "$file"
  done
  diff -r l w >/dev/null || differ "$name: $(diff -rq l w | head -3)"
}

mkdir inputs
"$linux/tools/pexol-mkproject" demo inputs/demo.mpj
"$linux/tools/pexol-mkproject" random 3 0x20A lumetta inputs/lumetta.mpj
"$linux/cli/pexol-cli" to-text inputs/demo.mpj inputs/demo.txt >/dev/null 2>&1

# "mpj to txt": the automatic software, then the EDL choices and UTF-8.
for project in demo lumetta; do
  fresh
  (cd l && "$linux/cli/pexol-cli" to-text $project.mpj out.txt >/dev/null 2>&1) || true
  window --page 0 --set "$(id toTextSource)=$project.mpj" --set "$(id toTextDestination)=out.txt" \
    --click "$(id toTextConvert)"
  compare "$project mpj to txt"
  grep -q "chosen automatically" messages.txt || differ "$project mpj to txt: $(head -3 messages.txt)"
done
fresh
(cd l && "$linux/cli/pexol-cli" to-text demo.mpj out.txt --timecode pal --csv --encoding utf-8 \
  >/dev/null 2>&1)
window --page 0 --set "$(id toTextLumetta)=1" --set "$(id toTextCorvane)=1" \
  --set "$(id toTextPal)=1" --set "$(id toTextCsv)=1" --set "$(id toTextUtf8)=1" \
  --set "$(id toTextSource)=demo.mpj" --set "$(id toTextDestination)=out.txt" \
  --click "$(id toTextConvert)"
compare "demo mpj to txt pal csv utf-8"

# "txt to mpj".
fresh
(cd l && "$linux/cli/pexol-cli" to-project demo.mpj demo.txt out.mpj >/dev/null 2>&1)
window --page 1 --set "$(id toProjectSource)=demo.mpj" --set "$(id toProjectText)=demo.txt" \
  --set "$(id toProjectDestination)=out.mpj" --click "$(id toProjectConvert)"
compare "demo txt to mpj"
cmp -s w/out.mpj inputs/demo.mpj || differ "demo txt to mpj: not the project it came from"

# "find": the report of the media not found.
fresh
(cd l && "$linux/cli/pexol-cli" check demo.mpj --report out-report.txt >/dev/null 2>&1) || true
window --page 2 --set "$(id findSource)=demo.mpj" --set "$(id findReport)=out-report.txt" \
  --click "$(id findCheck)"
compare "demo find"

# "export": every format from the destination's name, and one ticked.
for extension in otio edl mlt kdenlive xml; do
  fresh
  (cd l && "$linux/cli/pexol-cli" export demo.mpj out.$extension >/dev/null 2>&1)
  window --page 3 --set "$(id exportSource)=demo.mpj" --set "$(id exportDestination)=out.$extension" \
    --click "$(id exportRun)"
  compare "demo export .$extension"
done
fresh
(cd l && "$linux/cli/pexol-cli" export demo.mpj out.mlt --timecode pal --software lumetta \
  >/dev/null 2>&1) || true
window --page 3 --set "$(id exportLumetta)=1" --set 1097=1 --set "$(id exportPal)=1" \
  --set "$(id exportSource)=demo.mpj" --set "$(id exportDestination)=out.mlt" --click "$(id exportRun)"
compare "demo export mlt ticked, pal, lumetta"

# A project named on the command line, as Explorer's association starts the window: on every
# page without typing it.
fresh
(cd l && "$linux/cli/pexol-cli" export demo.mpj out.mlt >/dev/null 2>&1)
window "$(winepath -w "$work/w/demo.mpj" 2>/dev/null)" --page 3 \
  --set "$(id exportDestination)=out.mlt" --click "$(id exportRun)"
compare "demo opened with the window, exported"

# A typed destination that exists is replaced only after a yes.
fresh
echo kept >w/out.txt
window --page 0 --set "$(id toTextSource)=demo.mpj" --set "$(id toTextDestination)=out.txt" \
  --answer no --click "$(id toTextConvert)"
[ "$(cat w/out.txt)" = kept ] || differ "a no replaced the destination"
[ ! -s messages.txt ] || differ "a no still ran: $(head -1 messages.txt)"
window --page 0 --set "$(id toTextSource)=demo.mpj" --set "$(id toTextDestination)=out.txt" \
  --answer yes --click "$(id toTextConvert)"
(cd l && "$linux/cli/pexol-cli" to-text demo.mpj out.txt >/dev/null 2>&1)
compare "a yes replaced the destination"

# The fields come back from the registry: a second start converts with what the first typed.
fresh
key="Software\\pexol-test-$$-kept"
SETTINGS=$key window --page 3 --set "$(id exportSource)=demo.mpj" \
  --set "$(id exportDestination)=out.edl" --set "$(id exportNtscNonDrop)=1"
"$wine" reg query "HKCU\\$key\\export" /v destination 2>/dev/null | grep -q 'REG_SZ *out.edl' ||
  differ "the export's destination is not in the registry"
SETTINGS=$key window --page 3 --click "$(id exportRun)"
"$wine" reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true
(cd l && "$linux/cli/pexol-cli" export demo.mpj out.edl --timecode ntsc-nondrop >/dev/null 2>&1)
compare "fields remembered"

# Japanese names through the wide calls, in a code page that has none of them.
fresh
cp inputs/demo.mpj "l/デモ.mpj" && cp inputs/demo.mpj "w/デモ.mpj"
(cd l && "$linux/cli/pexol-cli" to-text "デモ.mpj" "out-デモ.txt" >/dev/null 2>&1)
window --page 0 --set "$(id toTextSource)=デモ.mpj" --set "$(id toTextDestination)=out-デモ.txt" \
  --click "$(id toTextConvert)"
compare "Japanese names"
grep -q "デモ.mpj" messages.txt || differ "Japanese names: the message reads $(head -3 messages.txt)"

# The language: the environment's (as Windows' own would be), unless the about page chose one;
# English stays as it was. A script's messages follow the window's language too.
help() {
  (cd w && "$wine" "$windows/pexol.exe" "$@" --help 2>&1 | tr -d '\r' | head -1) || true
}
fresh
[ "$(help)" = "Usage: pexol [OPTIONS]" ] || differ "English help: $(help)"
[ "$(LC_MESSAGES=ja_JP.UTF-8 help)" = "使い方: pexol [オプション]" ] ||
  differ "Japanese help: $(LC_MESSAGES=ja_JP.UTF-8 help)"
key="Software\\pexol-test-$$-language"
"$wine" reg add "HKCU\\$key\\about" /v language /d en /f >/dev/null 2>&1
[ "$(LC_MESSAGES=ja_JP.UTF-8 help --settings "$key")" = "Usage: pexol [OPTIONS]" ] ||
  differ "the about page's English does not win over the environment"
"$wine" reg add "HKCU\\$key\\about" /v language /d ja /f >/dev/null 2>&1
[ "$(help --settings "$key")" = "使い方: pexol [オプション]" ] ||
  differ "the about page's Japanese does not win over the environment"
"$wine" reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true
wrong=$(cd w && LC_MESSAGES=ja_JP.UTF-8 "$wine" "$windows/pexol.exe" --page 9 --close 2>&1 |
  tr -d '\r' || true)
[ "$wrong" = "pexol: ページ 9 はありません。" ] || differ "Japanese script message: $wrong"

# Under the pseudo-language, whose catalogue brackets every text ⟦like this⟧, the help, a wrong
# option and a failed run's message say nothing outside the brackets but names and paths.
outside() {
  perl -CSD -Mutf8 -0777 -pe '1 while s/⟦[^⟦⟧]*⟧/ /g; s/\S*[\\\/.]\S*|--?[a-z][\w-]*|\bpexol\b//g' |
    grep -oE '[A-Za-z]{2,}' | tr '\n' ' ' || true
}
fresh
pseudo=(env LANGUAGE=en@pseudo LC_MESSAGES=en_US.UTF-8)
said=$(cd w && "${pseudo[@]}" "$wine" "$windows/pexol.exe" --help 2>&1 || true)
[ -z "$(outside <<<"$said")" ] && [[ $said == *⟦* ]] ||
  differ "pseudo-language help: $(outside <<<"$said")"
said=$(cd w && "${pseudo[@]}" "$wine" "$windows/pexol.exe" --bogus 2>&1 || true)
[ -z "$(outside <<<"$said")" ] || differ "pseudo-language wrong option: $said"
LANGUAGE=en@pseudo LC_MESSAGES=en_US.UTF-8 window --page 0 --set "$(id toTextSource)=absent.mpj" \
  --set "$(id toTextDestination)=out.txt" --click "$(id toTextConvert)"
[ -s messages.txt ] && [ -z "$(outside <messages.txt)" ] ||
  differ "pseudo-language failed run: $(cat messages.txt)"

echo "$runs window runs, $failures failed"
[ "$failures" = 0 ]
