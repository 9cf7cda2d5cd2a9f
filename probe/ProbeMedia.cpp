// probe/ProbeMedia.cpp - the probe run as a child, its lines read back as facts
#include "probe/ProbeMedia.h"

#include "run/MediaProgram.h"
#include "run/ProcessPool.h"

namespace pexol {

std::vector<MediaFacts> ProbeMedia(const std::vector<std::string>& paths,
                                   const std::function<bool()>& stop) {
  std::vector<MediaFacts> facts(paths.size());
  if (paths.empty()) return facts;
  const std::string program = MediaProgram();
  if (program.empty()) return facts;
  std::vector<std::string> job = {program, "probe", "--"};
  job.insert(job.end(), paths.begin(), paths.end());
  // The program answers each file in turn, one line each; other lines (a library's complaint)
  // are no answer.
  std::size_t answered = 0;
  const PoolCalls calls{[](std::size_t, const ChildEnd&) {},
                        [&stop] { return stop && stop(); },
                        {},
                        [&](std::size_t, std::string_view line) {
                          if (answered == facts.size()) return;
                          if (std::optional<MediaFacts> read = FactsOfLine(line))
                            facts[answered++] = std::move(*read);
                        }};
  RunInPool({job}, 1, calls);
  return facts;
}

}  // namespace pexol
