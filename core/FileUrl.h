// core/FileUrl.h - paths as URLs and links, percent-encoded from their UTF-8 bytes
#pragma once

#include <string>
#include <string_view>

namespace pexol {

/// How a path is written as a URL.
enum class UrlForm {
  Localhost,  ///< file://localhost/path, as Final Cut Pro 7 XML and AAF's locators have it
  NoHost,     ///< file:///path, as FCPXML has it
  Relative,   ///< a link relative to the page it is on: the path alone, "\" a byte of a name
};

/// `path` (UTF-8) as a URL of `form`: every byte but letters, digits, "-._~" and the folders'
/// "/" percent-encoded (RFC 3986's unreserved characters), so that "#", "?", "%", "&" or a
/// drive's ':' read as part of a name ("C:" becomes "C%3A"). A file URL takes "\" as a folder
/// separator and starts a path without a leading "/" with one.
std::string FileUrl(std::string_view path, UrlForm form = UrlForm::Localhost);

}  // namespace pexol
