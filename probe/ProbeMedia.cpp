// probe/ProbeMedia.cpp - the probe run as a child, its lines read back as facts
#include "probe/ProbeMedia.h"

#include "core/Translation.h"
#include "run/MediaProgram.h"
#include "run/ProcessPool.h"

namespace pexol {

std::vector<MediaFacts> ProbeMedia(const std::vector<std::string>& paths,
                                   const std::function<bool()>& stop) {
  std::vector<MediaFacts> facts(paths.size());
  if (paths.empty()) return facts;
  const std::string program = MediaProgram();
  if (program.empty()) return facts;
  // The program answers each file in turn, one line each; other lines (a library's complaint)
  // are no answer. A file that crashes FFmpeg ends the program: that file is named unreadable
  // and the rest are read by a new one.
  std::size_t next = 0;
  while (next < paths.size()) {
    std::vector<std::string> job = {program, "probe", "--"};
    job.insert(job.end(), paths.begin() + static_cast<std::ptrdiff_t>(next), paths.end());
    std::size_t answered = next;
    ChildEnd end;
    const PoolCalls calls{[&end](std::size_t, const ChildEnd& ended) { end = ended; },
                          [&stop] { return stop && stop(); },
                          {},
                          [&](std::size_t, std::string_view line) {
                            if (answered == facts.size()) return;
                            if (std::optional<MediaFacts> read = FactsOfLine(line))
                              facts[answered++] = std::move(*read);
                          }};
    if (!RunInPool({job}, 1, calls) || answered == facts.size() || end.signal == 0) break;
    facts[answered].kind = MediaKind::Unreadable;
    facts[answered].crashSignal = end.signal;
    facts[answered].error = Fill(crashedReading, {std::to_string(end.signal)});
    next = answered + 1;
  }
  return facts;
}

}  // namespace pexol
