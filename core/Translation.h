// core/Translation.h - the texts a person reads, in the language the system asks for: English
// is the source and stays wherever a catalogue has no translation; a catalogue is GNU gettext's
// compiled form (.mo), made from po/LANG.po by msgfmt and read by this unit on every system
#pragma once

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "core/PluralForms.h"

namespace pexol {

/// One language's translations, by their English text.
class Catalogue {
 public:
  /// The catalogue a .mo file holds; nullopt when the bytes are not one (a wrong magic number,
  /// a table or a text past the end). Entries marked fuzzy never reach a .mo file.
  static std::optional<Catalogue> Parse(std::string_view bytes);

  /// The translation of `english`; `english` itself when there is none.
  std::string_view Find(std::string_view english) const;
  /// The form of the sentence `singular`/`plural` that the count `n` takes, by the
  /// catalogue's plural forms; English's choice of the two when it has no translation.
  std::string_view Find(std::string_view singular, std::string_view plural, std::uint64_t n) const;
  std::size_t Size() const { return texts_.size() + plurals_.size(); }
  /// The language its header names ("ja"); empty when it names none.
  const std::string& Language() const { return language_; }

 private:
  // Looked up by the English text's view, with no copy of it made.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  std::unordered_map<std::string, std::string, Hash, std::equal_to<>> texts_;
  /// The forms of sentences with a count, by their English singular.
  std::unordered_map<std::string, std::vector<std::string>, Hash, std::equal_to<>> plurals_;
  PluralForms forms_ = PluralForms::English();
  std::string language_;
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

/// The language of the catalogue in use ("ja"); empty while the texts are English. Texts from
/// elsewhere (the system's reasons) are shown in it, so that a sentence speaks one language.
std::string_view CatalogueLanguage();

/// `english` in the chosen language: its translation, or itself.
std::string_view Tr(std::string_view english);

/// The form of a sentence with a count that `n` takes in the chosen language: English has
/// `singular` for one and `plural` otherwise; a translation has as many forms as its language.
std::string_view TrN(std::string_view singular, std::string_view plural, std::uint64_t n);

/// Marks a text for the catalogue where it is defined (a table, a constant) and changes
/// nothing: `Tr` translates it where it is shown.
constexpr std::string_view ToTranslate(std::string_view english) {
  return english;
}

/// `pattern` with `{0}`, `{1}`… replaced by `pieces` in turn and `{{`, `}}` by single braces;
/// a number past the pieces stays as written. A translation may put the pieces in any order.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> pieces);

namespace detail {
inline std::string_view PieceOf(std::string_view text) {
  return text;
}
inline std::string_view PieceOf(const std::string& text) {
  return text;
}
inline std::string_view PieceOf(const char* text) {
  return text;
}
template <std::integral Number>
std::string PieceOf(Number number) {
  return std::to_string(number);
}
}  // namespace detail

/// A whole sentence in the chosen language with its pieces (names, numbers) put in:
/// `Say("{0}: the project ends too early, at byte {1}.", path, offset)`. Translators see the
/// sentence whole, so each language orders it as it must.
template <class... Pieces>
std::string Say(std::string_view english, const Pieces&... pieces) {
  // The pieces live until Fill returns: numbers become strings held in this tuple.
  const auto held = std::make_tuple(detail::PieceOf(pieces)...);
  return std::apply(
      [&](const auto&... piece) { return Fill(Tr(english), {std::string_view(piece)...}); }, held);
}

/// `Say` for a sentence with a count: the form `count` takes (see `TrN`), with the pieces put in
/// (the count among them where the sentence shows it):
/// `SayN(files, "{0} file was copied.", "{0} files were copied.", files)`.
template <std::integral Count, class... Pieces>
std::string SayN(Count count, std::string_view singular, std::string_view plural,
                 const Pieces&... pieces) {
  const auto held = std::make_tuple(detail::PieceOf(pieces)...);
  std::uint64_t n = static_cast<std::uint64_t>(count);
  if constexpr (std::is_signed_v<Count>) n = count < 0 ? 0 : n;
  return std::apply(
      [&](const auto&... piece) {
        return Fill(TrN(singular, plural, n), {std::string_view(piece)...});
      },
      held);
}

}  // namespace pexol
