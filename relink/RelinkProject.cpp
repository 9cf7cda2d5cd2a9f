// relink/RelinkProject.cpp - names matched, rewritten and spliced into the original bytes
#include "relink/RelinkProject.h"

#include <algorithm>

#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "model/MediaNames.h"

namespace pexol {

namespace {

/// A record's new bytes in place of the ones it was read from.
constexpr std::size_t maxNameBytes = 255;

// The rest of a name under the separator the rule's new folder uses, so that a name is not
// left half '\\' and half '/'; a folder without one ("D:") keeps the rest as it is.
std::string UnderFolder(const std::string& folder, std::string rest) {
  const std::size_t first = folder.find_first_of("\\/");
  if (first == std::string::npos) return folder + rest;
  const char separator = folder[first];
  for (char& c : rest)
    if (c == '\\' || c == '/') c = separator;
  return folder + rest;
}

struct Splice {
  std::size_t offset;
  std::size_t length;
  std::string bytes;
};

class Relinker {
 public:
  Relinker(std::span<const std::uint8_t> bytes, const NewMediaUse& newName,
           const std::function<void(const NameChange&)>& changed)
      : source_(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        newName_(newName),
        changed_(changed) {}

  /// Rewrites the use's name when `newName_` gives it another; true when it changed.
  bool Rewrite(MediaUse& use) {
    std::string& name = use.name;
    const SectionId section = use.section;
    const DecodedName decoded = DecodeShiftJis(name);
    const std::optional<std::string> renamed = newName_(use, decoded);
    if (!renamed) return false;
    const std::string& after = *renamed;
    auto encoded = EncodeShiftJis(after);
    if (!encoded)
      throw RunFailure(FailedInput::Project,
                       Say("the new media name \"{0}\" (for \"{1}\" in {2}) holds {3}, which "
                           "Shift-JIS cannot hold; choose another folder name.",
                           after, decoded.utf8, HeadingOf(section), FirstUnencodable(after)));
    if (*encoded == name) return false;
    // The format's readers take a name of 255 bytes or more for an escape they do not read.
    if (encoded->size() >= maxNameBytes)
      throw RunFailure(FailedInput::Project,
                       Say("the new media name \"{0}\" (for \"{1}\" in {2}) is {3} bytes long; "
                           "a project's names hold at most {4} bytes; choose a shorter folder.",
                           Printable(after, 80), decoded.utf8, HeadingOf(section), encoded->size(),
                           maxNameBytes - 1));
    if (changed_) changed_({std::string(HeadingOf(section)), decoded.utf8, after});
    name = std::move(*encoded);
    return true;
  }

  /// Replaces the bytes `original` (a view into the source) with `bytes`.
  void Replace(std::string_view original, std::string bytes) {
    splices_.push_back({static_cast<std::size_t>(original.data() - source_.data()), original.size(),
                        std::move(bytes)});
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
  const NewMediaUse& newName_;
  const std::function<void(const NameChange&)>& changed_;
  std::vector<Splice> splices_;
};

}  // namespace

std::optional<MapRule> ParseRelinkRule(std::string_view text, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0 || equals + 1 == text.size()) {
    error = Tr("a rule is OLD=NEW, two Windows folders, e.g. C:\\Video=D:\\Archive\\Video");
    return std::nullopt;
  }
  std::string prefix(text.substr(0, equals));
  std::string replacement(text.substr(equals + 1));
  // The rest of a name starts with its separator, so neither side keeps a trailing one.
  while (prefix.size() > 1 && (prefix.back() == '\\' || prefix.back() == '/')) prefix.pop_back();
  while (replacement.size() > 1 && (replacement.back() == '\\' || replacement.back() == '/'))
    replacement.pop_back();
  if (!IsValidUtf8(prefix) || !IsValidUtf8(replacement)) {
    error = Tr("the rule is not UTF-8 text");
    return std::nullopt;
  }
  return MapRule{std::move(prefix), std::move(replacement)};
}

std::string RelinkProject(std::span<const std::uint8_t> bytes, const Project& project,
                          const PathMap& rules,
                          const std::function<void(const NameChange&)>& changed) {
  const NewMediaName byRule = [&rules](std::string_view, const DecodedName& decoded,
                                       SectionId section) -> std::optional<std::string> {
    const MapRule* rule = rules.Match(decoded.utf8);
    if (rule == nullptr) return std::nullopt;
    if (!decoded.valid)
      throw RunFailure(FailedInput::Project,
                       Say("the media name \"{0}\" in {1} is not valid Shift-JIS, so it cannot be "
                           "rewritten; leave it to no rule or correct it in the text file.",
                           decoded.utf8, HeadingOf(section)));
    return UnderFolder(rule->folder, decoded.utf8.substr(rule->prefix.size()));
  };
  return RenameMediaNames(bytes, project, byRule, changed);
}

std::string RenameMediaNames(std::span<const std::uint8_t> bytes, const Project& project,
                             const NewMediaName& newName,
                             const std::function<void(const NameChange&)>& changed) {
  return RenameMediaUses(
      bytes, project,
      [&newName](MediaUse& use, const DecodedName& decoded) {
        return newName(use.name, decoded, use.section);
      },
      changed);
}

std::string RenameMediaUses(std::span<const std::uint8_t> bytes, const Project& project,
                            const NewMediaUse& newName,
                            const std::function<void(const NameChange&)>& changed) {
  Relinker relinker(bytes, newName, changed);
  RewriteMediaUses(
      project,
      [&relinker](MediaUse& use) {
        const std::string before = use.name;
        const std::int32_t in = use.in ? *use.in : 0;
        const std::int32_t out = use.out ? *use.out : 0;
        if (!relinker.Rewrite(use)) return use.in != nullptr && (*use.in != in || *use.out != out);
        std::string& name = use.name;
        const SectionId section = use.section;
        // The new name must still say what kind of clip the record is, or its layout changes.
        const bool clip = section == SectionId::MainAV || section == SectionId::InsertAV;
        const ClipKind kind = ClipKindOf(before);
        if (clip && ClipKindOf(name) != kind)
          throw RunFailure(FailedInput::Project,
                           kind == ClipKind::Movie
                               ? Say("the new media name of \"{0}\" no longer ends as a movie "
                                     "does; a rule may move a file, not rename it.",
                                     DecodeShiftJis(before).utf8)
                               : Say("the new media name of \"{0}\" no longer ends as a still "
                                     "does; a rule may move a file, not rename it.",
                                     DecodeShiftJis(before).utf8));
        // A file item whose new name reads as a colour clip would change the item's layout.
        if (section == SectionId::BinWindow && ClipKindOf(name) == ClipKind::Colour)
          throw RunFailure(FailedInput::Project,
                           Say("the new media name of the bin item \"{0}\" ends as a colour "
                               "clip's does; a rule may move a file, not rename it.",
                               DecodeShiftJis(before).utf8));
        return true;
      },
      [&relinker](std::string_view original, std::string bytes) {
        relinker.Replace(original, std::move(bytes));
      });
  return relinker.Result();
}

}  // namespace pexol
