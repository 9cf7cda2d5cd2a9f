// collect/CollectReport.cpp - the report's text, the same in the folder and on the terminal
#include "collect/CollectReport.h"

#include <cstdio>
#include <tuple>

#include "core/CountedText.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"

namespace pexol {

namespace {

// The report's words: English for the file in the folder, the chosen language for a person.
class Words {
 public:
  explicit Words(ReportLanguage language) : shown_(language == ReportLanguage::Shown) {}

  template <class... Pieces>
  std::string Line(std::string_view english, const Pieces&... pieces) const {
    return Filled(shown_ ? Tr(english) : english, pieces...);
  }

  template <class... Pieces>
  std::string Counted(std::uint64_t count, CountedText english, const Pieces&... pieces) const {
    return Filled(shown_ ? TrN(english.singular, english.plural, count) : EnglishN(english, count),
                  pieces...);
  }

  std::string Why(const UncollectedName& name) const {
    return FillAll(shown_ ? Tr(name.why) : name.why, name.pieces);
  }

  std::string Bytes(std::uintmax_t bytes) const {
    return shown_ ? ShownByteCount(bytes) : ByteCount(bytes);
  }

 private:
  template <class... Pieces>
  static std::string Filled(std::string_view pattern, const Pieces&... pieces) {
    const auto held = std::make_tuple(detail::PieceOf(pieces)...);
    return std::apply(
        [&](const auto&... piece) { return Fill(pattern, {std::string_view(piece)...}); }, held);
  }

  bool shown_;
};

void Listing(std::string& text, const Words& words, CountedText heading,
             const std::vector<UncollectedName>& names) {
  if (names.empty()) return;
  text += words.Counted(names.size(), heading, names.size()) + "\n";
  for (const UncollectedName& name : names) {
    text += "  " + name.name;
    if (!name.why.empty()) text += "\t" + words.Why(name);
    text += '\n';
  }
}

std::string DoneLine(const Words& words, const TranscodedFile& file) {
  if (file.format.empty())
    return words.Line(ToTranslate("{0}: converted to PNG, media/{1}"), file.from, file.output);
  if (file.pieces.empty())
    return words.Counted(file.frames,
                         ToTranslateN("{0}: transcoded to {1}, media/{2} ({3} frame)",
                                      "{0}: transcoded to {1}, media/{2} ({3} frames)"),
                         file.from, file.format, file.output, file.frames);
  std::string pieces;
  for (const MoviePiece& piece : file.pieces)
    pieces += words.Line(ToTranslate(" media/{0} (frames {1}-{2})"), piece.output, piece.first,
                         piece.last);
  if (file.ofFrames > 0)
    // TRANSLATORS: {1} is a codec, {2} the file's frames, {3} those kept; the pieces follow.
    return words.Counted(file.pieces.size(),
                         ToTranslateN("{0}: transcoded to {1}, trimmed from {2} to {3} frames "
                                      "in {4} piece:{5}",
                                      "{0}: transcoded to {1}, trimmed from {2} to {3} frames "
                                      "in {4} pieces:{5}"),
                         file.from, file.format, file.ofFrames, file.frames, file.pieces.size(),
                         pieces);
  return words.Counted(
      file.pieces.size(),
      ToTranslateN("{0}: transcoded to {1}, trimmed to {2} frames in {3} piece:{4}",
                   "{0}: transcoded to {1}, trimmed to {2} frames in {3} pieces:{4}"),
      file.from, file.format, file.frames, file.pieces.size(), pieces);
}

}  // namespace

std::string ByteCount(std::uintmax_t bytes) {
  if (bytes < 1000)
    return Fill(EnglishN({"{0} byte", "{0} bytes"}, bytes), {std::to_string(bytes)});
  static constexpr const char* units[] = {"kB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1000;
  int unit = 0;
  while (value >= 1000 && unit < 3) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, value < 10 ? "%.2f %s" : "%.1f %s", value, units[unit]);
  return text;
}

std::string ShownByteCount(std::uintmax_t bytes) {
  if (bytes < 1000) return SayN(bytes, "{0} byte", "{0} bytes", bytes);
  return ByteCount(bytes);
}

std::string CollectReportText(const CollectJob& job, const CollectPlan& plan,
                              const CollectSummary& summary, ReportLanguage language) {
  const Words words(language);
  // UTF-8 throughout, whatever the names: the folders given may be named in Shift-JIS.
  std::string text = words.Line(ToTranslate("Collected \"{0}\" into \"{1}\""),
                                Utf8PathName(job.source), Utf8PathName(job.folder)) +
                     "\n";
  const int copied = summary.files - summary.transcoded - summary.converted;
  const bool transcoded = summary.transcoded + summary.converted > 0;
  if (summary.linked > 0)
    text += transcoded ? words.Counted(copied,
                                       ToTranslateN("Copied: {0} media file ({1} as hard links), "
                                                    "into media/",
                                                    "Copied: {0} media files ({1} as hard links), "
                                                    "into media/"),
                                       copied, summary.linked)
                       : words.Counted(copied,
                                       ToTranslateN("Copied: {0} media file, {1} ({2} as hard "
                                                    "links), into media/",
                                                    "Copied: {0} media files, {1} ({2} as hard "
                                                    "links), into media/"),
                                       copied, words.Bytes(summary.bytes), summary.linked);
  else
    text += transcoded ? words.Counted(copied,
                                       ToTranslateN("Copied: {0} media file, into media/",
                                                    "Copied: {0} media files, into media/"),
                                       copied)
                       : words.Counted(copied,
                                       ToTranslateN("Copied: {0} media file, {1}, into media/",
                                                    "Copied: {0} media files, {1}, into media/"),
                                       copied, words.Bytes(summary.bytes));
  text += '\n';
  if (!summary.done.empty()) {
    text += words.Line(ToTranslate("Transcoded ({0}; {1} in media/ in all):"), summary.done.size(),
                       words.Bytes(summary.bytes)) +
            "\n";
    for (const TranscodedFile& file : summary.done) text += "  " + DoneLine(words, file) + '\n';
  }
  Listing(text, words,
          ToTranslateN("Could not be read to transcode (copied as they were) ({0}):",
                       "Could not be read to transcode (copied as they were) ({0}):"),
          summary.notTranscoded);
  Listing(text, words, ToTranslateN("Missing ({0}):", "Missing ({0}):"), plan.missing);
  Listing(text, words,
          ToTranslateN("Ambiguous (not copied; use --map or narrower --search folders) ({0}):",
                       "Ambiguous (not copied; use --map or narrower --search folders) ({0}):"),
          plan.ambiguous);
  Listing(
      text, words,
      ToTranslateN("Left out (found, not copied) ({0}):", "Left out (found, not copied) ({0}):"),
      plan.leftOut);
  if (!summary.exports.empty()) {
    std::string names;
    for (const std::string& name : summary.exports) names += " " + name;
    text += words.Line(ToTranslate("Exports:{0}"), names);
    text += '\n';
    // Those whose readers take only whole paths point at this folder where it was made.
    std::string absolute;
    for (const std::string& name : summary.exports) {
      const ExportFormat* format = ExportFormatOfPath(name);
      if (format && !format->mediaRelative) absolute += " " + name;
    }
    if (!absolute.empty())
      text += words.Line(ToTranslate("Named by their whole paths, for their readers take no "
                                     "other (after a move, the editor relinks them by name from "
                                     "media/):{0}"),
                         absolute) +
              '\n';
  }
  return text;
}

}  // namespace pexol
