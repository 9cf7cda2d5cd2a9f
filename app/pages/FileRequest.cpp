// app/pages/FileRequest.cpp - the file dialog requests the pages share
#include "app/pages/FileRequest.h"

#include "core/Translation.h"

namespace pexol::pages {

namespace {

FileRequest Request(FileDialogKind kind, std::string_view extension, std::string filter) {
  return {kind, std::string(extension), "*." + std::string(extension), std::move(filter)};
}

}  // namespace

std::string WithAllFiles(std::string_view types) {
  return std::string(types) + ";;" + std::string(Tr("all(*.*)"));
}

std::string ProjectFilter() {
  return WithAllFiles(Tr("Corvane file (*.mpj)"));
}

std::string TextFilter() {
  return WithAllFiles(Tr("Text file (*.txt)"));
}

FileRequest OpenFile(std::string_view extension, std::string filter) {
  return Request(FileDialogKind::Open, extension, std::move(filter));
}

FileRequest SaveFile(std::string_view extension, std::string filter) {
  return Request(FileDialogKind::SaveAs, extension, std::move(filter));
}

FileRequest ChooseFolder() {
  return {FileDialogKind::Folder, {}, {}, {}};
}

std::vector<FilterEntry> FilterEntries(std::string_view filter) {
  std::vector<FilterEntry> entries;
  while (!filter.empty()) {
    const std::size_t end = filter.find(";;");
    const std::string_view entry = filter.substr(0, end);
    filter = end == std::string_view::npos ? std::string_view() : filter.substr(end + 2);
    // The patterns are the last parenthesised part: "MLT (Shotcut) (*.mlt)" lists *.mlt.
    const std::size_t open = entry.rfind('(');
    const std::size_t close = entry.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) continue;
    std::string patterns;
    for (char c : entry.substr(open + 1, close - open - 1)) patterns += c == ' ' ? ';' : c;
    entries.push_back({std::string(entry), std::move(patterns)});
  }
  return entries;
}

}  // namespace pexol::pages
