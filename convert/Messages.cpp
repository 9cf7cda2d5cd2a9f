// convert/Messages.cpp - completion and failure messages
#include "convert/Messages.h"

#include "sections/SectionTable.h"

#include "core/TextScanner.h"

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

bool LooksLikeText(std::span<const std::uint8_t> project) {
  std::string_view start(reinterpret_cast<const char*>(project.data()), project.size());
  if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
  constexpr std::string_view heading = HeadingOf(SectionId::Header);
  return start.size() >= heading.size() &&
         EqualsIgnoreCase(start.substr(0, heading.size()), heading);
}

std::string OpenFailureMessage(std::string_view headline, std::string_view path,
                               std::string_view reason) {
  return std::string(headline) + "\n\n" + std::string(path) + "\n" + std::string(reason);
}

std::string WriteFailureMessage(std::string_view path, std::string_view reason) {
  return "Can not write destination file\n\n" + std::string(path) + "\n" + std::string(reason) +
         "\nThe destination was left as it was.";
}

std::string ToTextCompletedMessage(std::string_view source, std::string_view destination) {
  return "conversion completed\n\nfrom : " + std::string(source) +
         "\n   to : " + std::string(destination);
}

std::string ToProjectCompletedMessage(std::string_view source, std::string_view text,
                                      std::string_view destination) {
  return "conversion completed\n\nfrom : " + std::string(source) + "\n      & " +
         std::string(text) + "\n   to : " + std::string(destination);
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
