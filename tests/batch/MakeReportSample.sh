#!/usr/bin/env bash
# Usage: MakeReportSample.sh PEXOL-CLI SOURCE-DIR WORK
# A batch as an archivist meets one, for the report's browser test and its screenshots:
# WORK/archive holds the demo (its media missing), a second project with its media, deep in a folder with a long name, a damaged
# copy that opens with positions no timeline has, and a cut-off copy that fails. The batch
# runs twice into WORK/out, the second time without OpenTimelineIO, so that the report also
# shows outputs removed.
set -euo pipefail
cli=$1 source=$2 work=$3

rm -rf "$work"
deep="$work/archive/2005/Wedding_of_Anna_and_Bartholomew_at_the_Old_Town_Hall_reception_and_evening"
mkdir -p "$deep" "$work/archive/2004"
cp "$source/examples/demo.mpj" "$work/archive/demo.mpj"
cp "$source/examples/demo.mpj" "$deep/FirstDanceAndSpeechesFinalCutVersionThreeWithTitles.mpj"
# Its media are there (as names: no export reads them), so it succeeds.
mkdir -p "$deep/clips" "$deep/audio"
for name in clips/intro.avi clips/sunset.jpg clips/scene2.AVI clips/outro.avi clips/logo.png \
  clips/overlay.avi audio/bgm.wav audio/voice.wav audio/effect.wav; do
  printf x >"$deep/$name"
done
# A record position's high byte: the project opens, with a timeline thousands of hours long.
cp "$source/examples/demo.mpj" "$work/archive/2004/damaged.mpj"
printf '\x40' | dd of="$work/archive/2004/damaged.mpj" bs=1 seek=$((0x83)) conv=notrunc 2>/dev/null
head -c 200 "$source/examples/demo.mpj" >"$work/archive/2004/cut-off.mpj"

formats="--format mlt --format kdenlive --format fcp7 --format fcpxml --format cmx3600 --text"
cd "$work"
# Exit 2: a project fails, as it should.
"$cli" batch archive --out out --format otio $formats --jobs 2 -q >/dev/null 2>&1 || true
"$cli" batch archive --out out $formats --jobs 2 -q >/dev/null 2>&1 || true
test -f out/report.html
