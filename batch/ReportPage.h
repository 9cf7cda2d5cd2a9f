// batch/ReportPage.h - DIR/report.html: the batch's results as a page a person reads
#pragma once

#include <string>
#include <vector>

#include "batch/JobResult.h"

namespace pexol {

/// The page: first a summary to act on (how many projects succeeded, which need media and how
/// many files each, which failed and why, how many old outputs went), then a section per
/// project: its folder and file, its status, what it was read as, clips and length, its
/// timeline picture, missing media, links to its outputs, what each export's format keeps
/// differently or cannot keep (its notes, or that it keeps everything), the outputs removed, its
/// warnings (each once, with what gave it) and failures. Self-contained: no scripts, no resources
/// from elsewhere (the pictures are the SVG files beside the outputs, linked relatively). The words
/// are English, as every file a run writes.
std::string ReportHtml(const std::vector<JobResult>& results);

}  // namespace pexol
