// relink/RelinkOutcome.cpp - the relink's completion messages
#include "relink/RelinkOutcome.h"

namespace pexol {

namespace {

std::string NameCount(int n) {
  return std::to_string(n) + (n == 1 ? " media name" : " media names");
}

}  // namespace

std::string RelinkCompletedMessage(std::string_view source, std::string_view destination,
                                   int changes) {
  return "relink completed\n\nfrom : " + std::string(source) +
         "\n   to : " + std::string(destination) + "\n\n" + NameCount(changes) + " changed";
}

std::string RelinkTriedMessage(std::string_view source, int changes) {
  return "relink dry run\n\n" + std::string(source) + "\n\n" + NameCount(changes) +
         " would change; nothing written";
}

}  // namespace pexol
