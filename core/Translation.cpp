// core/Translation.cpp - GNU gettext's .mo files read, and the language chosen from the
// environment
#include "core/Translation.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace pexol {

namespace {

// A .mo file's 32-bit words, in the byte order its magic number says.
class MoWords {
 public:
  explicit MoWords(std::string_view bytes) : bytes_(bytes) {}

  bool Magic() {
    if (bytes_.size() < 28) return false;
    const std::uint32_t little = Word(0, false);
    if (little == 0x950412de) return true;
    bigEndian_ = true;
    return Word(0, true) == 0x950412de;
  }
  std::optional<std::uint32_t> At(std::size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
    return Word(offset, bigEndian_);
  }
  // The text a (length, offset) pair at `entry` names.
  std::optional<std::string_view> Text(std::size_t entry) const {
    const auto length = At(entry), offset = At(entry + 4);
    if (!length || !offset || *offset > bytes_.size() || bytes_.size() - *offset < *length)
      return std::nullopt;
    return bytes_.substr(*offset, *length);
  }

 private:
  std::uint32_t Word(std::size_t offset, bool bigEndian) const {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<unsigned char>(bytes_[offset + static_cast<std::size_t>(i)]);
      word |= std::uint32_t{byte} << (bigEndian ? 8 * (3 - i) : 8 * i);
    }
    return word;
  }

  std::string_view bytes_;
  bool bigEndian_ = false;
};

// The "Language:" field of a catalogue's header: "Language: ja\n".
std::string HeaderLanguage(std::string_view header) {
  constexpr std::string_view field = "Language:";
  for (std::size_t start = 0; start < header.size();) {
    std::size_t end = header.find('\n', start);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(start, end - start);
    if (line.starts_with(field)) {
      line.remove_prefix(field.size());
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
      return std::string(line);
    }
    start = end + 1;
  }
  return {};
}

std::optional<Catalogue>& Current() {
  static std::optional<Catalogue> current;
  return current;
}

}  // namespace

std::optional<Catalogue> Catalogue::Parse(std::string_view bytes) {
  MoWords words(bytes);
  if (!words.Magic()) return std::nullopt;
  const auto count = words.At(8), originals = words.At(12), translations = words.At(16);
  if (!count || !originals || !translations) return std::nullopt;
  Catalogue catalogue;
  for (std::size_t i = 0; i < *count; ++i) {
    const auto english = words.Text(*originals + 8 * i);
    const auto translated = words.Text(*translations + 8 * i);
    if (!english || !translated) return std::nullopt;
    // The empty text holds the catalogue's header, which is no translation.
    if (english->empty()) {
      catalogue.language_ = HeaderLanguage(*translated);
      if (auto forms = PluralForms::Parse(*translated)) catalogue.forms_ = *forms;
    }
    if (english->empty() || translated->empty()) continue;
    // A sentence with a count is "singular\0plural", its translation the forms apart by \0.
    if (const std::size_t split = english->find('\0'); split != std::string_view::npos) {
      std::vector<std::string> forms;
      for (std::size_t start = 0; start <= translated->size();) {
        std::size_t end = translated->find('\0', start);
        if (end == std::string_view::npos) end = translated->size();
        forms.emplace_back(translated->substr(start, end - start));
        start = end + 1;
      }
      catalogue.plurals_.emplace(english->substr(0, split), std::move(forms));
      continue;
    }
    catalogue.texts_.emplace(*english, *translated);
  }
  return catalogue;
}

std::string_view Catalogue::Find(std::string_view english) const {
  const auto found = texts_.find(english);
  return found == texts_.end() ? english : std::string_view(found->second);
}

std::string_view Catalogue::Find(std::string_view singular, std::string_view plural,
                                 std::uint64_t n) const {
  const auto found = plurals_.find(singular);
  const std::size_t form = found == plurals_.end() ? (n == 1 ? 0 : 1) : forms_.FormOf(n);
  if (found == plurals_.end() || form >= found->second.size() || found->second[form].empty())
    return n == 1 ? singular : plural;
  return found->second[form];
}

std::optional<std::string> LanguageOfEnvironment(
    const std::function<const char*(const char*)>& variable) {
  const auto value = [&](const char* name) {
    const char* text = variable(name);
    return std::string(text != nullptr ? text : "");
  };
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (locale = value(name); !locale.empty()) break;
  const std::string list = value("LANGUAGE");
  if (locale.empty() && list.empty()) return std::nullopt;
  const bool plain =
      locale.empty() || locale == "C" || locale.starts_with("C.") || locale == "POSIX";
  // LANGUAGE is a list of languages; the C locale turns it off, as gettext does.
  std::string chosen = locale;
  if (!list.empty() && !plain)
    chosen = list.substr(0, list.find(':'));
  else if (plain)
    return "";
  std::string language = chosen.substr(0, chosen.find_first_of("_.@"));
  // A modifier names a variant with a catalogue of its own ("en@pseudo"); English without one
  // is the source.
  if (const std::size_t at = chosen.find('@'); at != std::string::npos && at + 1 < chosen.size())
    return language + chosen.substr(at);
  return language == "en" || language == "C" || language == "POSIX" ? "" : language;
}

std::optional<Catalogue> FindCatalogue(std::string_view language,
                                       const std::filesystem::path& programFolder) {
  if (language.empty()) return std::nullopt;
  const std::filesystem::path file =
      std::filesystem::path(std::string(language)) / "LC_MESSAGES" / "pexol.mo";
  for (const std::filesystem::path& folder :
       {programFolder / "locale", programFolder / ".." / "share" / "locale",
        programFolder / ".." / "locale"}) {
    std::ifstream in(folder / file, std::ios::binary);
    if (!in) continue;
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (auto catalogue = Catalogue::Parse(bytes)) return catalogue;
  }
  // A variant without a catalogue of its own ("ja@foo") takes its language's.
  if (const std::size_t at = language.find('@'); at != std::string_view::npos)
    return FindCatalogue(language.substr(0, at), programFolder);
  return std::nullopt;
}

void UseCatalogue(std::optional<Catalogue> catalogue) {
  Current() = std::move(catalogue);
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> pieces) {
  std::string filled;
  filled.reserve(pattern.size() + 32);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const bool doubled = i + 1 < pattern.size() && pattern[i + 1] == c;
    if ((c == '{' || c == '}') && doubled) {
      filled += c;
      ++i;
      continue;
    }
    const std::size_t close = c == '{' ? pattern.find('}', i) : std::string_view::npos;
    std::size_t index = 0;
    bool number = close != std::string_view::npos && close > i + 1 && close - i <= 3;
    for (std::size_t j = i + 1; number && j < close; ++j) {
      number = pattern[j] >= '0' && pattern[j] <= '9';
      index = index * 10 + static_cast<std::size_t>(pattern[j] - '0');
    }
    if (number && index < pieces.size()) {
      filled += *(pieces.begin() + index);
      i = close;
    } else {
      filled += c;
    }
  }
  return filled;
}

std::string_view CatalogueLanguage() {
  const std::optional<Catalogue>& current = Current();
  return current ? std::string_view(current->Language()) : std::string_view();
}

std::string_view Tr(std::string_view english) {
  const std::optional<Catalogue>& current = Current();
  return current ? current->Find(english) : english;
}

std::string_view TrN(std::string_view singular, std::string_view plural, std::uint64_t n) {
  const std::optional<Catalogue>& current = Current();
  return current ? current->Find(singular, plural, n) : (n == 1 ? singular : plural);
}

}  // namespace pexol
