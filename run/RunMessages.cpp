// run/RunMessages.cpp - completion and failure messages
#include "run/RunMessages.h"

#include <cstdio>

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

std::string NameCount(int n) {
  return std::to_string(n) + (n == 1 ? " media name" : " media names");
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

std::string ToTextCompletedMessage(std::string_view source, std::string_view destination) {
  return "conversion completed\n\nfrom : " + std::string(source) +
         "\n   to : " + std::string(destination);
}

std::string ToProjectCompletedMessage(std::string_view source, std::string_view text,
                                      std::string_view destination) {
  return "conversion completed\n\nfrom : " + std::string(source) + "\n      & " +
         std::string(text) + "\n   to : " + std::string(destination);
}

std::string MediaCheckMessage(std::string_view source, int missingCount,
                              std::string_view missingList) {
  std::string message = "complete\n\n" + std::string(source) + "\n\n";
  if (missingCount == 0) return message + "0 file undetected";
  message += missingCount == 1 ? std::string("1 file undetected")
                               : std::to_string(missingCount) + " files undetected";
  return message + "\n\n" + std::string(missingList) + "\n";
}

std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& counts) {
  const auto count = [](int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
  };
  std::string message =
      "export completed\n\nfrom : " + std::string(source) + "\n   to : " + std::string(destination);
  for (const std::string& side : sideFiles) message += "\n      & " + side;
  return message + "\n\n" + count(counts.tracks, "track", "tracks") + ", " +
         count(counts.clips, "clip", "clips") + ", " +
         count(counts.transitions, "transition", "transitions");
}

std::string RelinkCompletedMessage(std::string_view source, std::string_view destination,
                                   int changes) {
  return "relink completed\n\nfrom : " + std::string(source) +
         "\n   to : " + std::string(destination) + "\n\n" + NameCount(changes) + " changed";
}

std::string RelinkTriedMessage(std::string_view source, int changes) {
  return "relink dry run\n\n" + std::string(source) + "\n\n" + NameCount(changes) +
         " would change; nothing written";
}

std::string RenderCompletedMessage(std::string_view source, std::string_view destination,
                                   std::string_view length, const RenderOutcome& outcome) {
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", outcome.seconds);
  return "render completed\n\nfrom : " + std::string(source) +
         "\n   to : " + std::string(destination) + "\n\n" + std::string(length) + " (" +
         std::to_string(outcome.frames) + (outcome.frames == 1 ? " frame" : " frames") + ") in " +
         taken + " s";
}

std::string RenderStoppedMessage(std::string_view source, std::string_view destination) {
  return "render stopped\n\n" + std::string(source) + "\n\nThe partial file was removed; " +
         std::string(destination) + " was left as it was.";
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
