// collect/CollectReport.h - the collect's report: what was copied, missing and left out
#pragma once

#include <string>

#include "collect/CollectPlan.h"
#include "collect/RunCollect.h"

namespace pexol {

/// Sizes as people read them: "812 bytes", "4.2 MB", "1.31 GB" (powers of 1000).
std::string ByteCount(std::uintmax_t bytes);

/// A size as the screen shows it, in the chosen language; the report keeps `ByteCount`'s.
std::string ShownByteCount(std::uintmax_t bytes);

/// The language of a report's text.
enum class ReportLanguage {
  English,  ///< the file in the folder, which scripts read
  Shown,    ///< the chosen language, for a person
};

/// The report's text (UTF-8, "\n" lines): the project and folder, the files and bytes copied,
/// then every missing, ambiguous and left-out name with what was tried or why, then the exports.
std::string CollectReportText(const CollectJob& job, const CollectPlan& plan,
                              const CollectSummary& summary, ReportLanguage language);

}  // namespace pexol
