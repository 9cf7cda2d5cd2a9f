// media/MissingMediaList.h - the list of missing media a message shows, the same for the check
// and the render: section lines, the first names with why each is missing, then "e.t.c.."
#pragma once

#include <string>
#include <string_view>

namespace pexol {

class MissingMediaList {
 public:
  /// Opens a section: its heading line, kept after the cut-off too so the list still shows
  /// where the remaining names are.
  void Section(std::string_view heading);

  /// Counts a missing name; the first 19 are listed, each with `why` after it, then "e.t.c..".
  void Add(std::string_view name, std::string_view why = {});

  int Count() const { return count_; }
  const std::string& Text() const { return text_; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  int count_ = 0;
};

}  // namespace pexol
