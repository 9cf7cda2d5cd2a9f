// export/ExportOutcome.cpp - the export's completion message
#include "export/ExportOutcome.h"

#include "core/Translation.h"

namespace pexol {

std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& counts) {
  std::string message = Say("export completed\n\nfrom : {0}\n   to : {1}", source, destination);
  for (const std::string& side : sideFiles) message += "\n      & " + side;
  // Each count says "1 track" or "2 tracks": one whole line for each of the eight forms.
  static constexpr std::string_view lines[8] = {
      ToTranslate("{0} track, {1} clip, {2} transition"),
      ToTranslate("{0} track, {1} clip, {2} transitions"),
      ToTranslate("{0} track, {1} clips, {2} transition"),
      ToTranslate("{0} track, {1} clips, {2} transitions"),
      ToTranslate("{0} tracks, {1} clip, {2} transition"),
      ToTranslate("{0} tracks, {1} clip, {2} transitions"),
      ToTranslate("{0} tracks, {1} clips, {2} transition"),
      ToTranslate("{0} tracks, {1} clips, {2} transitions")};
  const int form = (counts.tracks == 1 ? 0 : 4) + (counts.clips == 1 ? 0 : 2) +
                   (counts.transitions == 1 ? 0 : 1);
  return message + "\n\n" + Say(lines[form], counts.tracks, counts.clips, counts.transitions);
}

}  // namespace pexol
