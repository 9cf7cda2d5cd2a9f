// cli/HelpFormatter.cpp - the help laid out as GNU tools lay theirs out, in the reader's language
// and columns
#include "cli/CliCommon.h"

#include <algorithm>
#include <string>

#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol::cli {

namespace {

// Options are shown as GNU tools show them ("--software=WHICH"); positionals by name alone.
class GnuFormatter : public CLI::Formatter {
 public:
  GnuFormatter() {
    label("REQUIRED", "");
    // CLI11's own words in the help; the groups' names come from the options and commands.
    for (const std::string_view key :
         {ToTranslate("Usage"), ToTranslate("OPTIONS"), ToTranslate("SUBCOMMAND"),
          ToTranslate("SUBCOMMANDS"), ToTranslate("Positionals")})
      label(std::string(key), std::string(Tr(key)));
    column_width(34);
  }
  // The groups CLI11 names: the options' ("Options", or the positionals' label) and the
  // commands'.
  std::string make_group(std::string group, bool positional,
                         std::vector<const CLI::Option*> options) const override {
    static_cast<void>(ToTranslate("Options"));
    return CLI::Formatter::make_group(std::string(Tr(group)), positional, std::move(options));
  }
  std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
    std::string text = CLI::Formatter::make_subcommands(app, mode);
    const std::string english = "\nSubcommands:\n";
    if (text.starts_with(english))
      text.replace(0, english.size(), "\n" + std::string(Tr("Subcommands")) + ":\n");
    return text;
  }
  std::string make_option_opts(const CLI::Option* option) const override {
    return option->get_option_text();
  }
  // Descriptions wrap at 79 columns; the help writer indents each line it is given.
  std::string make_option_desc(const CLI::Option* option) const override {
    const std::string& text = option->get_description();
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? Wrap(text, 79 - get_column_width()) : WrapWide(text, 79 - get_column_width());
  }

 private:
  static std::string Wrap(const std::string& text, std::size_t width) {
    std::string wrapped;
    std::size_t lineLength = 0;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find(' ', start);
      if (end == std::string::npos) end = text.size();
      const std::size_t wordLength = end - start;
      if (lineLength > 0 && lineLength + 1 + wordLength > width) {
        wrapped += '\n';
        lineLength = 0;
      } else if (lineLength > 0) {
        wrapped += ' ';
        ++lineLength;
      }
      wrapped.append(text, start, wordLength);
      lineLength += wordLength;
      start = end + 1;
    }
    return wrapped;
  }

  // A translation's lines: CJK characters take two columns, and a line may break between two
  // of them (but not before closing punctuation nor after opening), or at a space.
  static std::string WrapWide(const std::string& text, std::size_t width) {
    struct Piece {
      std::string text;
      std::size_t columns = 0;
      bool wide = false;
      bool spaceBefore = false;
    };
    std::vector<Piece> pieces;
    bool space = false;
    for (std::size_t at = 0; at < text.size();) {
      const auto lead = static_cast<unsigned char>(text[at]);
      if (lead == ' ') {
        space = true;
        ++at;
        continue;
      }
      const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      const std::string character = text.substr(at, length);
      at += length;
      const bool wide = IsWide(character);
      // Narrow characters gather into words; each wide one stands alone.
      if (!pieces.empty() && !space && !wide && !pieces.back().wide) {
        pieces.back().text += character;
        pieces.back().columns += 1;
      } else {
        pieces.push_back({character, wide ? 2u : 1u, wide, space});
      }
      space = false;
    }
    static constexpr std::string_view noLineStart[] = {"、", "。", "，", "．", "）", "」", "』",
                                                       "】", "ー", "：", "；", "？", "！", "・"};
    static constexpr std::string_view noLineEnd[] = {"（", "「", "『", "【"};
    const auto among = [](const std::string& piece, const auto& list) {
      return std::find(std::begin(list), std::end(list), piece) != std::end(list);
    };
    std::string wrapped;
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const Piece& piece = pieces[i];
      const std::size_t gap = lineLength > 0 && piece.spaceBefore ? 1 : 0;
      const bool breakable = piece.spaceBefore || piece.wide || (i > 0 && pieces[i - 1].wide);
      const bool allowed = i > 0 && breakable && !among(piece.text, noLineStart) &&
                           !among(pieces[i - 1].text, noLineEnd);
      if (lineLength > 0 && allowed && lineLength + gap + piece.columns > width) {
        wrapped += '\n';
        lineLength = 0;
      } else if (gap > 0) {
        wrapped += ' ';
        ++lineLength;
      }
      wrapped += piece.text;
      lineLength += piece.columns;
    }
    return wrapped;
  }

  // Two columns on a terminal: CJK, kana, Hangul and the full-width forms.
  static bool IsWide(const std::string& character) {
    if (character.size() < 3) return false;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    const unsigned point = character.size() == 3 ? ((byte(0) & 0x0Fu) << 12) |
                                                       ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu)
                                                 : 0x20000;
    return (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
           (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
           (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
           (point >= 0xFFE0 && point <= 0xFFE6) || point >= 0x20000;
  }
};

}  // namespace

std::shared_ptr<CLI::Formatter> HelpFormatter() {
  return std::make_shared<GnuFormatter>();
}

}  // namespace pexol::cli
