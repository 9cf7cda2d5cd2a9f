// core/RunProgress.cpp - step accounting shared by every section of every run
#include "core/RunProgress.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace pexol {

void RunProgress::Step(int count) {
  StopIfRequested();
  if (count <= 0) return;
  done_ += count;
  observer_.Progress(done_, totalSteps);
}

void RunProgress::At(std::string_view section, long long record, long long count) {
  const std::string_view shown = Tr(section);
  if (section_ != shown) section_ = shown;
  record_ = record;
  count_ = count;
}

std::string RunProgress::Where() const {
  if (section_.empty()) return std::string(Tr("the header"));
  if (record_ <= 0) return section_;
  // TRANSLATORS: {0} is a section's heading, such as [MainAV].
  if (record_ > count_) return Say("the end of {0}", section_);
  // TRANSLATORS: {0} is a section's heading, such as [MainAV]; {1} and {2} count its records.
  return Say("{0} record {1} of {2}", section_, record_, count_);
}

SectionProgress::SectionProgress(RunProgress& run, std::string_view name, long long count,
                                 int share)
    : run_(run), name_(Tr(name)), count_(count), share_(share) {
  if (count_ <= 0) {
    run_.Step(share_);
    run_.At(name_, 0, 0);
  } else {
    run_.At(name_, 1, count_);
  }
}

void SectionProgress::RecordDone(long long index) {
  // Made without the heap: a status line goes out for every record of every section.
  char status[128];
  const std::size_t nameLength = std::min(name_.size(), std::size_t{64});
  std::memcpy(status, name_.data(), nameLength);
  char* const last = status + sizeof status;
  char* end = status + nameLength;
  *end++ = ' ';
  end = std::to_chars(end, last - 24, index + 1).ptr;
  for (char c : {' ', '/', ' '}) *end++ = c;
  end = std::to_chars(end, last, count_).ptr;
  run_.Status(std::string_view(status, static_cast<std::size_t>(end - status)));
  const int due = static_cast<int>((index + 1) * share_ / count_);
  run_.Step(due - taken_);
  if (due > taken_) taken_ = due;
  run_.At(name_, index + 2, count_);
}

}  // namespace pexol
