// tests/support/AafRead.cpp - pyaaf2 walks the file and prints what it found as JSON
#include "support/AafRead.h"

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/CommandOutput.h"
#include "support/SharedFolder.h"
#include "support/TempFolder.h"

namespace pexol::test {

namespace {

namespace fs = std::filesystem;

constexpr const char* reader = R"py(
import json, sys
from fractions import Fraction
sys.path.insert(0, sys.argv[1])
import aaf2
from aaf2 import components as C, mobs as M
problems = []
out = {'problems': problems, 'tracks': [], 'markers': []}

def resolves(clip):
    master = clip.mob
    if not isinstance(master, M.MasterMob):
        problems.append('a clip of %s names no master mob' % clip.slot_id); return ''
    slot = next((s for s in master.slots if s.slot_id == clip.slot_id), None)
    if slot is None:
        problems.append('master %s has no slot %s' % (master.name, clip.slot_id)); return ''
    file_clip = slot.segment
    file_mob = file_clip.mob
    if not isinstance(file_mob, M.SourceMob):
        problems.append('master %s names no file source mob' % master.name); return ''
    urls = [l['URLString'].value for l in file_mob.descriptor['Locator'].value]
    if not urls or not urls[0]:
        problems.append('file mob of %s has no locator' % master.name); return ''
    file_slot = next((s for s in file_mob.slots if s.slot_id == file_clip.slot_id), None)
    tape = file_slot.segment.mob if file_slot else None
    if not isinstance(tape, M.SourceMob):
        problems.append('file mob of %s names no tape or import mob' % master.name)
    if clip.start + clip.length > file_clip.length + 1:
        problems.append('%s used past its length' % master.name)
    return urls[0]

def parameters(group):
    found = {}
    for p in group.parameters:
        found[p.name] = p
    return found

with aaf2.open(sys.argv[2]) as f:
    ids = [m.mob_id for m in f.content.mobs]
    if len(set(ids)) != len(ids):
        problems.append('mob ids are not unique')
    for mob in f.content.mobs:
        for obj, _ in mob.walk_references():
            try:
                obj.validate()
            except Exception as e:
                problems.append('invalid %s: %s' % (obj.name, str(e).splitlines()[0]))
    top = list(f.content.toplevel())
    out['topLevel'] = len(top)
    if len(top) != 1:
        problems.append('%d top-level compositions' % len(top))
    mob = top[0]
    for slot in mob.slots:
        seg = slot.segment
        if isinstance(seg, C.Timecode):
            out['timecode'] = {'start': seg.start, 'fps': seg.fps, 'drop': bool(seg.drop)}
            continue
        if isinstance(slot, aaf2.mobslots.EventMobSlot):
            for marker in seg.components:
                font = ''
                for tag in marker.get('UserComments').value if 'UserComments' in marker.keys() else []:
                    if tag.name == 'Font': font = tag.value
                out['markers'].append({'position': marker['Position'].value, 'length': marker.length,
                                       'comment': marker['Comment'].value, 'font': font})
            continue
        track = {'name': slot.name, 'picture': seg.media_kind == 'Picture', 'items': []}
        out['tracks'].append(track)
        at = 0
        total = 0
        pieces = list(seg.components)
        for i, c in enumerate(pieces):
            item = {'record': at, 'length': c.length}
            if isinstance(c, C.Transition):
                at -= c.length
                total -= c.length
                before = pieces[i - 1] if i > 0 else None
                after = pieces[i + 1] if i + 1 < len(pieces) else None
                if (before is None or after is None or isinstance(before, C.Transition) or isinstance(after, C.Transition)
                        or before.length < c.length or after.length < c.length):
                    problems.append('%s: a transition at %d without room beside it' % (slot.name, at))
                group = c['OperationGroup'].value
                item.update(kind='transition', record=at, operation=group.operation.name)
                params = parameters(group)
                if 'SMPTEWipeNumber' in params:
                    item['wipe'] = params['SMPTEWipeNumber'].value
                track['items'].append(item)
                continue
            total += c.length
            # A clip's frames up to the cut: its run-on under the next transition is left out.
            after = pieces[i + 1] if i + 1 < len(pieces) else None
            item['length'] = c.length - (after.length if isinstance(after, C.Transition) else 0)
            inner = c
            if isinstance(c, C.OperationGroup):
                item['operation'] = c.operation.name
                params = parameters(c)
                if 'SpeedRatio' in params:
                    item['speed'] = float(Fraction(params["SpeedRatio"].value))
                if 'Amplitude' in params:
                    amp = params['Amplitude']
                    item['gain'] = [[int(Fraction(p["Time"].value) * c.length), float(Fraction(p["Value"].value))]
                                    for p in amp['PointList'].value]
                segs = list(c['InputSegments'].value)
                if len(segs) != 1:
                    problems.append('%s: an effect of %d inputs' % (slot.name, len(segs)))
                inner = segs[0]
            if isinstance(inner, C.SourceClip):
                item.update(kind='clip', source=inner.start, url=resolves(inner))
            elif isinstance(inner, C.Filler):
                item['kind'] = 'gap'
            else:
                problems.append('%s: a %s' % (slot.name, inner.name))
            track['items'].append(item)
            at += c.length
        if seg.length != total:
            problems.append('%s: a sequence of %s frames holding %d' % (slot.name, seg.length, total))
print(json.dumps(out))
)py";

}  // namespace

AafRead ReadAaf(const std::string& bytes) {
  AafRead read;
  if (!SharedFolderHere()) return read;
  read.available = true;
  const fs::path pyaaf2 = SharedFolder() / "aaf/pyaaf2";
  if (!fs::exists(pyaaf2 / "aaf2/__init__.py")) {
    read.problems.push_back("../shared is here but pyaaf2 is not at " + pyaaf2.string());
    return read;
  }
  TempFolder folder;
  folder.Write("read.aaf", bytes);
  folder.Write("read.py", reader);
  const std::string printed = Output("timeout 300 python3 '" + folder.Path("read.py") + "' '" +
                                     pyaaf2.string() + "' '" + folder.Path("read.aaf") + "' 2>&1");
  const auto json = nlohmann::json::parse(printed, nullptr, false);
  if (json.is_discarded()) {
    read.problems.push_back("pyaaf2 could not read it: " + printed.substr(0, 2000));
    return read;
  }
  read.problems = json["problems"].get<std::vector<std::string>>();
  read.topLevel = json.value("topLevel", 0);
  if (json.contains("timecode")) {
    read.timecodeStart = json["timecode"]["start"];
    read.timecodeFps = json["timecode"]["fps"];
    read.drop = json["timecode"]["drop"];
  }
  for (const auto& track : json["tracks"]) {
    AafTrack& own = read.tracks.emplace_back();
    own.name = track["name"];
    own.picture = track["picture"];
    for (const auto& item : track["items"]) {
      AafItem& piece = own.items.emplace_back();
      const std::string kind = item.value("kind", "gap");
      piece.kind = kind == "clip"         ? AafItem::Clip
                   : kind == "transition" ? AafItem::Transition
                                          : AafItem::Gap;
      piece.record = item["record"];
      piece.length = item["length"];
      piece.source = item.value("source", 0);
      piece.url = item.value("url", "");
      piece.operation = item.value("operation", "");
      if (item.contains("speed")) piece.speed = item["speed"].get<double>();
      piece.wipe = item.value("wipe", 0);
      if (item.contains("gain"))
        for (const auto& point : item["gain"]) piece.gain.push_back({point[0], point[1]});
    }
  }
  for (const auto& marker : json["markers"])
    read.markers.push_back(
        {marker["position"], marker["length"], marker["comment"], marker["font"]});
  return read;
}

}  // namespace pexol::test
