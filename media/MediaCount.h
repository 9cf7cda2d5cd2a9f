// media/MediaCount.h - references and media files, counted once for every command and window,
// and the sentences that say them
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "core/CountedText.h"
#include "media/MediaResolver.h"

namespace pexol {

/// The file a reference names, as every count of files tells files apart: the file found, or
/// for a name not found the path it was looked for at, in any ASCII letter case (a Windows
/// name in another case names the same file); the stored bytes when that path cannot tell (an
/// empty name, or bytes that are not Shift-JIS).
std::string MediaFileKey(std::string_view stored, const MediaResolution& resolution);

/// The media names a run looked up, counted two ways: references (every name as the project
/// holds it; a name used three times is three references, as the check's message counts them)
/// and media files (the distinct files those names point to, after resolution). Missing is
/// what the check counts as undetected: not found, or found in several places.
class MediaCount {
 public:
  /// Counts one reference; true when it names a missing file not counted before.
  bool Add(std::string_view stored, const MediaResolution& resolution);

  int References() const { return references_; }
  int Files() const { return static_cast<int>(files_.size()); }
  int MissingReferences() const { return missingReferences_; }
  int MissingFiles() const { return missingFiles_; }

 private:
  int references_ = 0;
  int missingReferences_ = 0;
  int missingFiles_ = 0;
  /// Each file's key once; a key says by itself whether its file was found.
  std::unordered_set<std::string> files_;
};

/// A sentence with two counts, and the count its form follows (a sentence with no plural says
/// none).
struct CountSentence {
  CountedText text;
  int count = 0;
};

/// "13 references to 10 media files.", to be filled with the references and the files:
/// `SayCount` in the chosen language, `EnglishCount` for a file a run writes.
CountSentence MediaFilesPattern(int references, int files);
/// "5 references to 2 missing files.", or "No media file is missing." for none.
CountSentence MissingFilesPattern(int references, int files);

std::string SayCount(const CountSentence& sentence, int references, int files);
std::string EnglishCount(const CountSentence& sentence, int references, int files);

/// Both sentences, a line each, in the chosen language: what a person reads after a check.
std::string MediaCountText(const MediaCount& count);

}  // namespace pexol
