// core/PluralForms.cpp - gettext's plural expressions: C's operators over unsigned n, parsed
// once by recursive descent into a flat tree and evaluated per count
#include "core/PluralForms.h"

#include <cctype>
#include <string>

namespace pexol {

// Precedence from lowest: ?:, ||, &&, == !=, < > <= >=, + -, * / %, !, then n, numbers and
// parentheses. Any error leaves `failed` set; the nesting is bounded so that a hostile header
// cannot exhaust the stack.
class PluralParser {
 public:
  PluralParser(std::string_view text, PluralForms& forms) : text_(text), forms_(forms) {}

  bool Parse() {
    forms_.root_ = Conditional();
    Skip();
    return !failed_ && at_ == text_.size();
  }

 private:
  void Skip() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool Take(std::string_view token) {
    Skip();
    if (text_.substr(at_, token.size()) != token) return false;
    // "<" is not "<=", "!" is not "!=", "|" alone is no operator.
    at_ += token.size();
    return true;
  }
  bool Peek(std::string_view token) {
    Skip();
    return text_.substr(at_, token.size()) == token;
  }
  std::int32_t Add(char op, std::int32_t a = -1, std::int32_t b = -1, std::int32_t c = -1,
                   std::uint64_t value = 0) {
    forms_.nodes_.push_back({op, value, a, b, c});
    return static_cast<std::int32_t>(forms_.nodes_.size() - 1);
  }
  std::int32_t Fail() {
    failed_ = true;
    return -1;
  }

  std::int32_t Conditional() {
    if (++depth_ > 64) return Fail();
    const std::int32_t condition = Binary(0);
    std::int32_t result = condition;
    if (!failed_ && Take("?")) {
      const std::int32_t then = Conditional();
      if (!Take(":")) return Fail();
      result = Add('?', condition, then, Conditional());
    }
    --depth_;
    return failed_ ? -1 : result;
  }

  // Levels of binary operators, each (token, node op) from the lowest precedence.
  std::int32_t Binary(int level) {
    static constexpr struct {
      std::string_view tokens[3];
      char ops[3];
    } levels[] = {{{"||"}, {'|'}},
                  {{"&&"}, {'&'}},
                  {{"==", "!="}, {'e', 'x'}},
                  {{"<=", ">=", "<"}, {'l', 'g', '<'}},
                  {{"+", "-"}, {'+', '-'}},
                  {{"*", "/", "%"}, {'*', '/', '%'}}};
    constexpr int levelCount = static_cast<int>(std::size(levels));
    if (level == levelCount) return Unary();
    std::int32_t left = Binary(level + 1);
    for (bool more = true; more && !failed_;) {
      more = false;
      // ">" shares its level with "<"; it is checked after ">=".
      for (int i = 0; i < 3 + (level == 3 ? 1 : 0); ++i) {
        const std::string_view token = i == 3 ? ">" : levels[level].tokens[i];
        const char op = i == 3 ? '>' : levels[level].ops[i];
        if (token.empty()) continue;
        if (token == "<" && Peek("<=")) continue;
        if (token == ">" && Peek(">=")) continue;
        if (!Take(token)) continue;
        left = Add(op, left, Binary(level + 1));
        more = true;
        break;
      }
    }
    return left;
  }

  std::int32_t Unary() {
    if (Peek("!") && !Peek("!=")) {
      Take("!");
      if (++depth_ > 64) return Fail();
      const std::int32_t operand = Unary();
      --depth_;
      return Add('!', operand);
    }
    return Primary();
  }

  std::int32_t Primary() {
    Skip();
    if (Take("(")) {
      const std::int32_t inner = Conditional();
      return Take(")") ? inner : Fail();
    }
    if (Take("n")) return Add('n');
    if (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
      std::uint64_t value = 0;
      while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
        if (value > 1'000'000'000) return Fail();
        value = value * 10 + static_cast<std::uint64_t>(text_[at_++] - '0');
      }
      return Add('#', -1, -1, -1, value);
    }
    return Fail();
  }

  std::string_view text_;
  PluralForms& forms_;
  std::size_t at_ = 0;
  int depth_ = 0;
  bool failed_ = false;
};

std::optional<PluralForms> PluralForms::Parse(std::string_view header) {
  constexpr std::string_view field = "Plural-Forms:";
  if (const std::size_t at = header.find(field); at != std::string_view::npos) {
    header.remove_prefix(at + field.size());
    header = header.substr(0, header.find('\n'));
  }
  const std::size_t counted = header.find("nplurals=");
  const std::size_t rule =
      header.find("plural=", counted == std::string_view::npos ? 0 : counted + 9);
  if (counted == std::string_view::npos || rule == std::string_view::npos) return std::nullopt;
  PluralForms forms;
  forms.count_ = 0;
  for (std::size_t at = counted + 9;
       at < header.size() && std::isdigit(static_cast<unsigned char>(header[at])); ++at)
    forms.count_ = forms.count_ * 10 + static_cast<std::size_t>(header[at] - '0');
  if (forms.count_ == 0 || forms.count_ > 16) return std::nullopt;
  std::string_view expression = header.substr(rule + 7);
  expression = expression.substr(0, expression.find(';'));
  PluralParser parser(expression, forms);
  if (!parser.Parse()) return std::nullopt;
  return forms;
}

PluralForms PluralForms::English() {
  return *Parse("nplurals=2; plural=n != 1;");
}

std::uint64_t PluralForms::Evaluate(std::int32_t index, std::uint64_t n) const {
  const Node& node = nodes_[static_cast<std::size_t>(index)];
  const auto a = [&] { return Evaluate(node.a, n); };
  const auto b = [&] { return Evaluate(node.b, n); };
  switch (node.op) {
    case 'n':
      return n;
    case '#':
      return node.value;
    case '!':
      return a() == 0;
    case '?':
      return a() != 0 ? b() : Evaluate(node.c, n);
    case '|':
      return a() != 0 || b() != 0;
    case '&':
      return a() != 0 && b() != 0;
    case 'e':
      return a() == b();
    case 'x':
      return a() != b();
    case '<':
      return a() < b();
    case '>':
      return a() > b();
    case 'l':
      return a() <= b();
    case 'g':
      return a() >= b();
    case '+':
      return a() + b();
    case '-':
      return a() - b();
    case '*':
      return a() * b();
    case '/': {
      const std::uint64_t divisor = b();
      return divisor == 0 ? 0 : a() / divisor;
    }
    case '%': {
      const std::uint64_t divisor = b();
      return divisor == 0 ? 0 : a() % divisor;
    }
    default:
      return 0;
  }
}

std::size_t PluralForms::FormOf(std::uint64_t n) const {
  const std::uint64_t form = Evaluate(root_, n);
  return form < count_ ? static_cast<std::size_t>(form) : 0;
}

}  // namespace pexol
