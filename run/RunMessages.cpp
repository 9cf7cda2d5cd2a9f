// run/RunMessages.cpp - completion and failure messages
#include "run/RunMessages.h"

#include "core/TextEncoding.h"

namespace pexol {

std::string OpenFailureMessage(std::string_view headline, std::string_view path,
                               std::string_view reason) {
  // A reason that is a marked text (a table's, a constant's) is translated here too; the
  // system's own reasons and texts made whole elsewhere find no entry and stay as they are.
  return std::string(Tr(headline)) + "\n\n" + std::string(path) + "\n" + std::string(Tr(reason));
}

std::string WriteFailureMessage(std::string_view path, std::string_view reason) {
  return Say("Can not write destination file\n\n{0}\n{1}\nThe destination was left as it was.",
             path, Tr(reason));
}

std::string StoppedMessage(std::string_view source) {
  return Say("run stopped\n\n{0}\n\nNothing was written; every destination was left as it was.",
             source);
}

std::string UnreadBytesNote(std::size_t unreadBytes, Software used, bool otherFitsExactly) {
  std::string note;
  if (unreadBytes > 0)
    note = SayN(unreadBytes, "1 byte after the end of the project was left unread.",
                "{0} bytes after the end of the project were left unread.", unreadBytes);
  if (otherFitsExactly)
    note += (note.empty() ? "" : " ") +
            Say("\"{0}\" reads the file exactly to its end; it may be the right software "
                "choice.",
                SoftwareName(OtherSoftware(used)));
  return note.empty() ? note : "\n\n" + note;
}

std::string MostlyUnreadWarning(std::size_t unreadBytes, std::size_t fileBytes,
                                const BytesLook& look) {
  switch (look.kind) {
    case BytesLook::Kind::Zeros:
      return Say(
          "{0} of the file's {1} bytes lie after the end of the project and were not read; "
          "they are all zeros. The file may be damaged, or not be a project: check that it is "
          "the one you meant.",
          unreadBytes, fileBytes);
    case BytesLook::Kind::Named:
      return Say(
          // TRANSLATORS: {2} is what file(1) calls the bytes, in English: "JPEG image data".
          "{0} of the file's {1} bytes lie after the end of the project and were not read; "
          "they look like {2}. The file may be damaged, or not be a project: check that it is "
          "the one you meant.",
          unreadBytes, fileBytes, Printable(look.words, 120));
    case BytesLook::Kind::Text:
      return Say(
          "{0} of the file's {1} bytes lie after the end of the project and were not read; "
          "they are text. The file may be damaged, or not be a project: check that it is the "
          "one you meant.",
          unreadBytes, fileBytes);
    case BytesLook::Kind::Binary:
      break;
  }
  return Say(
      "{0} of the file's {1} bytes lie after the end of the project and were not read; they "
      "are binary data of no known kind. The file may be damaged, or not be a project: check "
      "that it is the one you meant.",
      unreadBytes, fileBytes);
}

std::string NotAProjectMessage(std::string_view path, std::string_view kind) {
  return Say(
      "\"{0}\": this is not a project of \"{1}\" or \"{2}\"; it looks like {3}. Give a "
      "project file (.mpj).",
      path, SoftwareName(Software::CorvaneBrisko), SoftwareName(Software::Lumetta),
      Printable(kind, 120));
}

std::string UnexpectedFailureMessage(std::string_view path, std::string_view detail) {
  if (detail.empty())
    return Say(
        "\"{0}\": the run failed: an unexpected error. Nothing was written; every "
        "destination was left as it was.",
        path);
  return Say(
      "\"{0}\": the run failed: {1}. Nothing was written; every destination was left as "
      "it was.",
      path, detail);
}

std::string NotEnoughMemoryMessage(std::string_view path) {
  return Say("\"{0}\": there is not enough memory for this project.", path);
}

std::string FailureMessage(const RunFailure& failure, std::string_view path, Software used,
                           bool otherReadsIt) {
  std::string message;
  const auto* early = dynamic_cast<const ProjectEndsEarly*>(&failure);
  if (early != nullptr && early->Where().empty()) {
    message =
        Say("\"{0}\": the project ends too early, at byte {1}. The file is damaged, or it was not "
            "written by \"{2}\".",
            path, early->Offset(), SoftwareName(used));
  } else if (early != nullptr) {
    message = Say(
        // TRANSLATORS: {2} says where, as "[MainAV] record 3 of 5" or "the header" do.
        "\"{0}\": the project ends too early, at byte {1}, while reading {2}. The file is "
        "damaged, or it was not written by \"{3}\".",
        path, early->Offset(), early->Where(), SoftwareName(used));
  } else {
    // The detail is a whole clause, translated where it was thrown; the file is quoted as the
    // language quotes names.
    message = Say("\"{0}\": {1}", path, failure.what());
  }
  const bool encoding = dynamic_cast<const EncodingFailure*>(&failure) != nullptr;
  if (failure.Input() == FailedInput::Project && otherReadsIt && !encoding)
    message += " " + Say("\"{0}\" reads it completely; choose that software.",
                         SoftwareName(OtherSoftware(used)));
  return message;
}

}  // namespace pexol
