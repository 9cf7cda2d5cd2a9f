// batch/ProjectFinder.h - the projects under the folders of a batch and where each one's outputs go
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pexol {

/// A project of a batch.
struct BatchProject {
  std::string source;  ///< the project file, absolute, UTF-8
  /// Its outputs' folder below the batch's DIR, '/' separators: its path below the folder it
  /// was found in, without the extension ("2019/wedding/edit").
  std::string into;
};

/// Every "*.mpj" (any letter case) under `folders`, recursively, following links to folders
/// once (a link back up is not walked again), sorted by `into`. With several folders each
/// one's projects go under its own name ("archive/2019/edit"). Two projects that would share a
/// folder (edit.mpj and edit.MPJ) keep their extension in it ("edit.MPJ"). nullopt, with
/// `error` set, when a folder cannot be read.
std::optional<std::vector<BatchProject>> FindProjects(const std::vector<std::string>& folders,
                                                      std::string& error);

}  // namespace pexol
