// relink/RelinkProject.cpp - names matched, rewritten and spliced into the original bytes
#include "relink/RelinkProject.h"

#include <algorithm>

#include "core/ByteWriter.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"

namespace pexol {

namespace {

/// A record's new bytes in place of the ones it was read from.
constexpr std::size_t maxNameBytes = 255;

struct Splice {
  std::size_t offset;
  std::size_t length;
  std::string bytes;
};

class Relinker {
 public:
  Relinker(std::span<const std::uint8_t> bytes, const PathMap& rules,
           const std::function<void(const NameChange&)>& changed)
      : source_(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        rules_(rules),
        changed_(changed) {}

  /// Rewrites `name` when a rule matches it; true when it changed.
  bool Rewrite(std::string& name, SectionId section) {
    const DecodedName decoded = DecodeShiftJis(name);
    const MapRule* rule = rules_.Match(decoded.utf8);
    if (rule == nullptr) return false;
    if (!decoded.valid)
      throw RunFailure(FailedInput::Project,
                       "the media name \"" + decoded.utf8 + "\" in " +
                           std::string(HeadingOf(section)) +
                           " is not valid Shift-JIS, so it cannot be rewritten; leave it to no "
                           "rule or correct it in the text file.");
    const std::string after = rule->folder + decoded.utf8.substr(rule->prefix.size());
    auto encoded = EncodeShiftJis(after);
    if (!encoded)
      throw RunFailure(FailedInput::Project,
                       "the new media name \"" + after + "\" (for \"" + decoded.utf8 + "\" in " +
                           std::string(HeadingOf(section)) +
                           ") holds a character that Shift-JIS cannot hold; choose another "
                           "folder name.");
    if (*encoded == name) return false;
    // The format's readers take a name of 255 bytes or more for an escape they do not read.
    if (encoded->size() >= maxNameBytes)
      throw RunFailure(FailedInput::Project,
                       "the new media name \"" + Printable(after, 80) + "\" (for \"" +
                           decoded.utf8 + "\" in " + std::string(HeadingOf(section)) + ") is " +
                           std::to_string(encoded->size()) +
                           " bytes long; a project's names hold at most " +
                           std::to_string(maxNameBytes - 1) + " bytes; choose a shorter folder.");
    if (changed_) changed_({std::string(HeadingOf(section)), decoded.utf8, after});
    name = std::move(*encoded);
    return true;
  }

  /// Replaces the bytes `original` (a view into the source) with `record` as `walk` writes it.
  template <class Record, class Walk>
  void Replace(std::string_view original, Record& record, Walk walk) {
    ByteWriter out;
    WriteWalker writer(out);
    walk(writer, record);
    splices_.push_back({static_cast<std::size_t>(original.data() - source_.data()), original.size(),
                        out.TakeBytes()});
  }

  std::string Result() {
    std::sort(splices_.begin(), splices_.end(),
              [](const Splice& a, const Splice& b) { return a.offset < b.offset; });
    std::string result;
    result.reserve(source_.size() + source_.size() / 8);
    std::size_t at = 0;
    for (const Splice& splice : splices_) {
      result.append(source_.substr(at, splice.offset - at));
      result.append(splice.bytes);
      at = splice.offset + splice.length;
    }
    result.append(source_.substr(at));
    return result;
  }

 private:
  std::string_view source_;
  const PathMap& rules_;
  const std::function<void(const NameChange&)>& changed_;
  std::vector<Splice> splices_;
};

void RelinkClips(Relinker& relinker, const RecordList<ClipRecord>& clips, SectionId section) {
  const VideoTrack track = section == SectionId::MainAV ? VideoTrack::Main : VideoTrack::Insert;
  for (std::size_t i = 0; i < clips.size(); ++i) {
    ClipRecord clip = clips.records[i];
    if (!NamesMediaFile(clip)) continue;
    if (!relinker.Rewrite(clip.name, section)) continue;
    // The new name must still say what kind of clip the record is, or its layout changes.
    if (ClipKindOf(clip.name) != clip.kind)
      throw RunFailure(FailedInput::Project,
                       "the new media name of \"" + DecodeShiftJis(clips.records[i].name).utf8 +
                           "\" no longer ends as a " +
                           (clip.kind == ClipKind::Movie ? "movie" : "still") +
                           " does; a rule may move a file, not rename it.");
    relinker.Replace(clips.bytes[i], clip,
                     [track](WriteWalker& w, ClipRecord& c) { WalkClipRecord(w, c, track); });
  }
}

}  // namespace

std::optional<MapRule> ParseRelinkRule(std::string_view text, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0 || equals + 1 == text.size()) {
    error = "a rule is OLD=NEW, two Windows folders, e.g. C:\\Video=D:\\Archive\\Video";
    return std::nullopt;
  }
  std::string prefix(text.substr(0, equals));
  std::string replacement(text.substr(equals + 1));
  // The rest of a name starts with its separator, so neither side keeps a trailing one.
  while (prefix.size() > 1 && (prefix.back() == '\\' || prefix.back() == '/')) prefix.pop_back();
  while (replacement.size() > 1 && (replacement.back() == '\\' || replacement.back() == '/'))
    replacement.pop_back();
  if (!IsValidUtf8(prefix) || !IsValidUtf8(replacement)) {
    error = "the rule is not UTF-8 text";
    return std::nullopt;
  }
  return MapRule{std::move(prefix), std::move(replacement)};
}

std::string RelinkProject(std::span<const std::uint8_t> bytes, const Project& project,
                          const PathMap& rules,
                          const std::function<void(const NameChange&)>& changed) {
  Relinker relinker(bytes, rules, changed);
  RelinkClips(relinker, project.main, SectionId::MainAV);
  RelinkClips(relinker, project.insert, SectionId::InsertAV);
  for (int track = 0; track < 2; ++track) {
    const SectionId section = track == 0 ? SectionId::ExAudio1 : SectionId::ExAudio2;
    const auto& clips = project.exAudio[track];
    for (std::size_t i = 0; i < clips.size(); ++i) {
      ExAudioClip clip = clips.records[i];
      if (relinker.Rewrite(clip.name, section))
        relinker.Replace(clips.bytes[i], clip,
                         [](WriteWalker& w, ExAudioClip& c) { WalkExAudioClip(w, c); });
    }
  }
  const bool extended = project.TitlesExtended();
  for (std::size_t i = 0; i < project.titles.size(); ++i) {
    TitleRecord title = project.titles.records[i];
    bool any = false;
    for (TitleElement& element : title.elements)
      if (NamesMediaFile(title, element, extended))
        any = relinker.Rewrite(element.text, SectionId::Title) || any;
    if (any)
      relinker.Replace(project.titles.bytes[i], title, [extended](WriteWalker& w, TitleRecord& t) {
        WalkTitleRecord(w, t, extended);
      });
  }
  for (std::size_t i = 0; i < project.bin.size(); ++i) {
    BinItem item = project.bin.records[i];
    if (!NamesMediaFile(item)) continue;
    if (!relinker.Rewrite(item.file, SectionId::BinWindow)) continue;
    // A file item whose new name reads as a colour clip would change the item's layout.
    if (ClipKindOf(item.file) == ClipKind::Colour)
      throw RunFailure(FailedInput::Project,
                       "the new media name of the bin item \"" +
                           DecodeShiftJis(project.bin.records[i].file).utf8 +
                           "\" ends as a colour clip's does; a rule may move a file, not rename "
                           "it.");
    relinker.Replace(project.bin.bytes[i], item,
                     [](WriteWalker& w, BinItem& b) { WalkBinItem(w, b); });
  }
  return relinker.Result();
}

}  // namespace pexol
