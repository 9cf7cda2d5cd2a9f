// run/RunMessages.cpp - completion and failure messages
#include "run/RunMessages.h"

#include "core/TextEncoding.h"

namespace pexol {

namespace {

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

}  // namespace

std::string OpenFailureMessage(std::string_view headline, std::string_view path,
                               std::string_view reason) {
  return std::string(headline) + "\n\n" + std::string(path) + "\n" + std::string(reason);
}

std::string WriteFailureMessage(std::string_view path, std::string_view reason) {
  return "Can not write destination file\n\n" + std::string(path) + "\n" + std::string(reason) +
         "\nThe destination was left as it was.";
}

std::string StoppedMessage(std::string_view source) {
  return "run stopped\n\n" + std::string(source) +
         "\n\nNothing was written; every destination was left as it was.";
}

std::string UnreadBytesNote(std::size_t unreadBytes, Software used, bool otherFitsExactly) {
  std::string note = "\n\n" + std::to_string(unreadBytes) +
                     (unreadBytes == 1 ? " byte" : " bytes") +
                     " after the end of the project were left unread.";
  if (otherFitsExactly)
    note += " " + Quoted(SoftwareName(OtherSoftware(used))) +
            " reads the file exactly to its end; it may be the right software choice.";
  return note;
}

std::string NotAProjectMessage(std::string_view path, std::string_view kind) {
  return Quoted(path) + ": this is not a project of " +
         Quoted(SoftwareName(Software::CorvaneBrisko)) + " or " +
         Quoted(SoftwareName(Software::Lumetta)) + "; it looks like " + Printable(kind, 120) +
         ". Give a project file (.mpj).";
}

std::string UnexpectedFailureMessage(std::string_view path, std::string_view detail) {
  return Quoted(path) + ": the run failed: " +
         std::string(detail.empty() ? std::string_view("an unexpected error") : detail) +
         ". Nothing was written; every destination was left as it was.";
}

std::string NotEnoughMemoryMessage(std::string_view path) {
  return Quoted(path) + ": there is not enough memory for this project.";
}

std::string FailureMessage(const RunFailure& failure, std::string_view path, Software used,
                           bool otherReadsIt) {
  std::string message = Quoted(path) + ": ";
  if (const auto* early = dynamic_cast<const ProjectEndsEarly*>(&failure)) {
    message += "the project ends too early, at byte " + std::to_string(early->Offset());
    if (!early->Where().empty()) message += ", while reading " + early->Where();
    message +=
        ". The file is damaged, or it was not written by " + Quoted(SoftwareName(used)) + ".";
  } else {
    message += failure.what();
  }
  const bool encoding = dynamic_cast<const EncodingFailure*>(&failure) != nullptr;
  if (failure.Input() == FailedInput::Project && otherReadsIt && !encoding)
    message += " " + Quoted(SoftwareName(OtherSoftware(used))) +
               " reads it completely; choose that software.";
  return message;
}

}  // namespace pexol
