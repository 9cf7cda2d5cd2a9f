// core/PluralForms.h - a catalogue's rule for which form of a sentence a count takes, as
// GNU gettext writes it in the header: "Plural-Forms: nplurals=2; plural=(n != 1);"
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pexol {

class PluralForms {
 public:
  /// The rule of a header's "Plural-Forms:" field (the header whole, or the field's value);
  /// nullopt when it has none or it is not a C expression of `n` gettext would take.
  static std::optional<PluralForms> Parse(std::string_view header);
  /// English's rule: the first form for one, the second otherwise.
  static PluralForms English();

  std::size_t Count() const { return count_; }
  /// The form `n` takes, below Count() (an expression pointing past the forms gives the first,
  /// as gettext does).
  std::size_t FormOf(std::uint64_t n) const;

 private:
  struct Node {
    /// 'n', '#' (a number), '?', '!', or a binary operator: '|' '&' (|| &&), 'e' 'x' (== !=),
    /// '<' '>' 'l' 'g' (< > <= >=), '+' '-' '*' '/' '%'.
    char op;
    std::uint64_t value = 0;
    std::int32_t a = -1, b = -1, c = -1;  ///< operands, as indices into nodes_
  };
  std::uint64_t Evaluate(std::int32_t node, std::uint64_t n) const;
  friend class PluralParser;

  std::vector<Node> nodes_;
  std::int32_t root_ = -1;
  std::size_t count_ = 2;
};

}  // namespace pexol
