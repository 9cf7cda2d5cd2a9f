// relink/RelinkOutcome.cpp - the relink's completion messages
#include "relink/RelinkOutcome.h"

#include "core/Translation.h"

namespace pexol {

std::string RelinkCompletedMessage(std::string_view source, std::string_view destination,
                                   int changes) {
  return SayN(changes, "relink completed\n\nfrom : {0}\n   to : {1}\n\n{2} media name changed",
              "relink completed\n\nfrom : {0}\n   to : {1}\n\n{2} media names changed", source,
              destination, changes);
}

std::string RelinkTriedMessage(std::string_view source, int changes) {
  return SayN(changes, "relink dry run\n\n{0}\n\n{1} media name would change; nothing written",
              "relink dry run\n\n{0}\n\n{1} media names would change; nothing written", source,
              changes);
}

}  // namespace pexol
