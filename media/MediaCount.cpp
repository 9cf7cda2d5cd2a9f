// media/MediaCount.cpp - references and distinct media files, and their sentences
#include "media/MediaCount.h"

#include "core/Translation.h"
#include "media/PathText.h"

namespace pexol {

std::string MediaFileKey(std::string_view stored, const MediaResolution& resolution) {
  // Each kind of key has its own first letter, so that no path passes for a stored name.
  if (resolution.status == MediaStatus::Found)
    return "f" + Utf8OfPath(PathOfUtf8(resolution.path).lexically_normal());
  // U+FFFD stands for any undecodable bytes: two such names may be two files.
  if (resolution.path.empty() || !resolution.decoded) return "s" + std::string(stored);
  return "m" + FoldAsciiCase(resolution.path);
}

bool MediaCount::Add(std::string_view stored, const MediaResolution& resolution) {
  ++references_;
  const bool missing = resolution.status != MediaStatus::Found;
  missingReferences_ += missing ? 1 : 0;
  const bool first = files_.insert(MediaFileKey(stored, resolution)).second;
  missingFiles_ += missing && first ? 1 : 0;
  return missing && first;
}

// Two counts share each sentence: its form follows the files where there are several (so
// are the references), the references where one file is named.
CountSentence MediaFilesPattern(int references, int files) {
  if (files == 1)
    return {ToTranslateN("{0} reference to 1 media file.", "{0} references to 1 media file."),
            references};
  return {ToTranslateN("{0} references to {1} media file.", "{0} references to {1} media files."),
          files};
}

CountSentence MissingFilesPattern(int references, int files) {
  if (references == 0) return {{ToTranslate("No media file is missing."), {}}, 0};
  if (files == 1)
    return {ToTranslateN("{0} reference to 1 missing file.", "{0} references to 1 missing file."),
            references};
  return {
      ToTranslateN("{0} references to {1} missing file.", "{0} references to {1} missing files."),
      files};
}

std::string SayCount(const CountSentence& sentence, int references, int files) {
  if (sentence.text.plural.empty()) return Say(sentence.text.singular, references, files);
  return SayN(sentence.count, sentence.text, references, files);
}

std::string EnglishCount(const CountSentence& sentence, int references, int files) {
  const std::string_view english =
      sentence.text.plural.empty()
          ? sentence.text.singular
          : EnglishN(sentence.text, static_cast<std::uint64_t>(sentence.count));
  return Fill(english, {std::to_string(references), std::to_string(files)});
}

std::string MediaCountText(const MediaCount& count) {
  return SayCount(MediaFilesPattern(count.References(), count.Files()), count.References(),
                  count.Files()) +
         "\n" +
         SayCount(MissingFilesPattern(count.MissingReferences(), count.MissingFiles()),
                  count.MissingReferences(), count.MissingFiles());
}

}  // namespace pexol
