// model/MediaNames.cpp - one list of which fields name media files, for reading and rewriting
#include "model/MediaNames.h"

#include "core/ByteWriter.h"
#include "sections/RecordWalk.h"

#include <type_traits>

namespace pexol {

namespace {

/// Which fields of each kind of record name media files: `visit(name, in, out)` is given those
/// fields of `target` (the record itself to read, a copy to rewrite), with the source frames the
/// record uses where it has them (null otherwise). True when `visit` said something changed.
struct RecordNames {
  bool extendedTitles = false;

  bool operator()(const ClipRecord& clip, auto& target, auto& visit) const {
    if (!NamesMediaFile(clip)) return false;
    // A still's in and out are marks on the recorder, not frames of the file.
    if (clip.kind != ClipKind::Movie) return visit(target.name, nullptr, nullptr);
    return visit(target.name, &target.in, &target.out);
  }
  bool operator()(const ExAudioClip&, auto& target, auto& visit) const {
    // every extra audio clip is a sound file, whatever its name ends in
    return visit(target.name, &target.in, &target.out);
  }
  bool operator()(const TitleRecord& title, auto& target, auto& visit) const {
    bool changed = false;
    for (std::size_t i = 0; i < title.elements.size(); ++i)
      if (NamesMediaFile(title, title.elements[i], extendedTitles))
        changed = visit(target.elements[i].text, nullptr, nullptr) || changed;
    return changed;
  }
  bool operator()(const BinItem& item, auto& target, auto& visit) const {
    return NamesMediaFile(item) && visit(target.file, &target.in, &target.out);
  }
};

void WriteRecord(WriteWalker& w, SectionId id, ClipRecord& clip, bool) {
  WalkClipRecord(w, clip, TrackOf(id));
}
void WriteRecord(WriteWalker& w, SectionId, ExAudioClip& clip, bool) {
  WalkExAudioClip(w, clip);
}
void WriteRecord(WriteWalker& w, SectionId, TitleRecord& title, bool extended) {
  WalkTitleRecord(w, title, extended);
}
void WriteRecord(WriteWalker& w, SectionId, BinItem& item, bool) {
  WalkBinItem(w, item);
}

/// The sections that name media, in file order.
constexpr SectionId mediaSections[] = {SectionId::MainAV,   SectionId::InsertAV,
                                       SectionId::ExAudio1, SectionId::ExAudio2,
                                       SectionId::Title,    SectionId::BinWindow};

// Walks every media-naming record; `onRecord(id, list, index)` does the work.
template <class OnSection, class OnRecord>
void WalkMediaRecords(const Project& project, OnSection onSection, OnRecord onRecord) {
  for (const SectionId id : mediaSections) {
    if (id == SectionId::Title && !project.Has(SectionId::Title)) continue;
    onSection(id);
    project.VisitSection(id, [&](const auto& list) {
      for (std::size_t i = 0; i < list.size(); ++i) onRecord(id, list, i);
    });
  }
}

template <class List>
constexpr bool namesMedia = !std::is_same_v<typename List::Record, EffectRecord> &&
                            !std::is_same_v<typename List::Record, TrackFilterRecord> &&
                            !std::is_same_v<typename List::Record, AudioFilterRecord>;

}  // namespace

void ForEachMediaName(const Project& project,
                      const std::function<void(SectionId, const std::string*)>& visit) {
  const RecordNames names{project.TitlesExtended()};
  WalkMediaRecords(
      project, [&visit](SectionId id) { visit(id, nullptr); },
      [&](SectionId id, const auto& list, std::size_t i) {
        using List = std::remove_cvref_t<decltype(list)>;
        if constexpr (namesMedia<List>) {
          const auto read = [&](const std::string& name, auto, auto) {
            visit(id, &name);
            return false;
          };
          names(list.records[i], list.records[i], read);
        }
      });
}

void RewriteMediaNames(
    const Project& project, const std::function<bool(SectionId, std::string&)>& rewrite,
    const std::function<void(std::string_view original, std::string bytes)>& rewritten) {
  RewriteMediaUses(
      project, [&rewrite](MediaUse& use) { return rewrite(use.section, use.name); }, rewritten);
}

void RewriteMediaUses(
    const Project& project, const std::function<bool(MediaUse&)>& rewrite,
    const std::function<void(std::string_view original, std::string bytes)>& rewritten) {
  const bool extended = project.TitlesExtended();
  const RecordNames names{extended};
  WalkMediaRecords(
      project, [](SectionId) {},
      [&](SectionId id, const auto& list, std::size_t i) {
        using List = std::remove_cvref_t<decltype(list)>;
        if constexpr (namesMedia<List>) {
          typename List::Record copy = list.records[i];
          const auto change = [&](std::string& name, std::int32_t* in, std::int32_t* out) {
            MediaUse use{id, i, name, in, out};
            return rewrite(use);
          };
          if (!names(list.records[i], copy, change)) return;
          ByteWriter bytes;
          WriteWalker writer(bytes);
          WriteRecord(writer, id, copy, extended);
          rewritten(list.bytes[i], bytes.TakeBytes());
        }
      });
}

}  // namespace pexol
