// export/ExportOutcome.cpp - the export's completion message
#include "export/ExportOutcome.h"

#include "core/Translation.h"

namespace pexol {

std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& counts) {
  std::string message = Say("export completed\n\nfrom : {0}\n   to : {1}", source, destination);
  for (const std::string& side : sideFiles) message += "\n      & " + side;
  const int tracks = counts.tracks;
  const int clips = counts.clips;
  const int transitions = counts.transitions;
  return message + "\n\n" +
         // TRANSLATORS: the counts of what an export wrote, such as "2 tracks, 5 clips, 1
         // transition".
         Say("{0}, {1}, {2}", tracks == 1 ? Say("{0} track", tracks) : Say("{0} tracks", tracks),
             clips == 1 ? Say("{0} clip", clips) : Say("{0} clips", clips),
             transitions == 1 ? Say("{0} transition", transitions)
                              : Say("{0} transitions", transitions));
}

}  // namespace pexol
