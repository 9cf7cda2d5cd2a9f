// probe/PosterFrames.cpp - the posters the cache lacks decoded by one child, which fills it
#include "probe/PosterFrames.h"

#include <fstream>
#include <map>
#include <system_error>

#include "core/PlatformPath.h"
#include "run/MediaProgram.h"
#include "run/ProcessPool.h"

namespace pexol {

std::vector<std::string> PosterFrames(const std::vector<PosterRequest>& requests,
                                      const std::function<bool()>& stop) {
  std::vector<std::string> posters(requests.size());
  // Each file to make once, however many clips show it.
  std::map<std::filesystem::path, std::vector<std::size_t>> wanted;
  std::vector<std::filesystem::path> files(requests.size());
  for (std::size_t r = 0; r < requests.size(); ++r) {
    files[r] = PosterCacheFile(requests[r]);
    if (files[r].empty()) continue;
    if (std::optional<std::string> cached = CachedPoster(files[r]))
      posters[r] = std::move(*cached);
    else
      wanted[files[r]].push_back(r);
  }
  if (wanted.empty()) return posters;
  const std::string program = MediaProgram();
  std::error_code error;
  std::filesystem::create_directories(PosterCacheFolder(), error);
  if (program.empty() || error) return posters;

  std::vector<std::string> triples;
  std::vector<std::filesystem::path> made;
  for (const auto& [file, which] : wanted) {
    const PosterRequest& request = requests[which.front()];
    triples.push_back(request.path);
    triples.push_back(request.microseconds ? std::to_string(*request.microseconds) : "still");
    triples.push_back(platform::Utf8Of(file));
    made.push_back(file);
  }
  // One line per poster made or given up; a file that crashes FFmpeg ends the program, is
  // kept as having no picture, and the rest are made by a new one.
  std::size_t next = 0;
  while (next < made.size()) {
    std::vector<std::string> job = {program, "posters", "--"};
    job.insert(job.end(), triples.begin() + static_cast<std::ptrdiff_t>(3 * next), triples.end());
    std::size_t answered = next;
    ChildEnd end;
    const PoolCalls calls{[&end](std::size_t, const ChildEnd& ended) { end = ended; },
                          [&stop] { return stop && stop(); },
                          {},
                          [&](std::size_t, std::string_view line) {
                            if (line.starts_with("{\"poster\"")) ++answered;
                          }};
    if (!RunInPool({job}, 1, calls) || answered >= made.size() || end.signal == 0) break;
    std::ofstream(made[answered], std::ios::binary | std::ios::trunc);
    next = answered + 1;
  }
  for (const auto& [file, which] : wanted)
    if (std::optional<std::string> cached = CachedPoster(file))
      for (const std::size_t r : which) posters[r] = *cached;
  return posters;
}

}  // namespace pexol
