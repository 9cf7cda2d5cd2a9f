// core/Translation.h - the texts a person reads, in the language the system asks for: English
// is the source and stays wherever a catalogue has no translation; a catalogue is GNU gettext's
// compiled form (.mo), made from po/LANG.po by msgfmt and read by this unit on every system
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pexol {

/// One language's translations, by their English text.
class Catalogue {
 public:
  /// The catalogue a .mo file holds; nullopt when the bytes are not one (a wrong magic number,
  /// a table or a text past the end). Entries marked fuzzy never reach a .mo file.
  static std::optional<Catalogue> Parse(std::string_view bytes);

  /// The translation of `english`; `english` itself when there is none.
  std::string_view Find(std::string_view english) const;
  std::size_t Size() const { return texts_.size(); }

 private:
  std::unordered_map<std::string, std::string> texts_;
};

/// The language the environment asks for, as gettext reads it: `LANGUAGE` (its first entry,
/// unless the locale is C or POSIX), else the first of `LC_ALL`, `LC_MESSAGES`, `LANG` that is
/// set; "ja" of "ja_JP.UTF-8". Empty for C, POSIX and English; nullopt when none is set.
/// `variable` reads one (null when unset).
std::optional<std::string> LanguageOfEnvironment(
    const std::function<const char*(const char*)>& variable);

/// The language this system's user asks for: the environment on Linux, the user interface
/// language on Windows (where an environment that names one still wins).
std::string SystemLanguage();

/// The catalogue of `language` for a program in `programFolder`: beside it (`locale/`, as the
/// Windows zip lays it out), in the installed tree (`../share/locale/`) or in a build tree
/// (`../locale/`); nullopt when there is none.
std::optional<Catalogue> FindCatalogue(std::string_view language,
                                       const std::filesystem::path& programFolder);

/// The catalogue every `Tr` reads from now on; set once, before any thread reads texts.
void UseCatalogue(std::optional<Catalogue> catalogue);

/// `english` in the chosen language: its translation, or itself.
std::string_view Tr(std::string_view english);

}  // namespace pexol
