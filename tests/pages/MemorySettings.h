// tests/pages/MemorySettings.h - a settings store in memory, that counts what it was given
#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "app/pages/SettingsStore.h"

namespace pexol::pages {

/// Values by key, with the kind each was stored as; a getter of another kind finds nothing,
/// as a registry value of another type or a damaged entry does.
class MemorySettings final : public SettingsStore {
 public:
  using Value = std::variant<std::string, bool, int, std::vector<std::string>>;

  std::optional<std::string> Text(const std::string& key) const override {
    return Get<std::string>(key);
  }
  std::optional<bool> Flag(const std::string& key) const override { return Get<bool>(key); }
  std::optional<int> Number(const std::string& key) const override { return Get<int>(key); }
  std::optional<std::vector<std::string>> List(const std::string& key) const override {
    return Get<std::vector<std::string>>(key);
  }
  void SetText(const std::string& key, const std::string& value) override { Set(key, value); }
  void SetFlag(const std::string& key, bool value) override { Set(key, value); }
  void SetNumber(const std::string& key, int value) override { Set(key, value); }
  void SetList(const std::string& key, const std::vector<std::string>& value) override {
    Set(key, value);
  }
  void Flush() override { ++flushes; }

  std::map<std::string, Value> values;
  int writes = 0;
  int flushes = 0;

 private:
  template <class T>
  std::optional<T> Get(const std::string& key) const {
    const auto at = values.find(key);
    if (at == values.end() || !std::holds_alternative<T>(at->second)) return std::nullopt;
    return std::get<T>(at->second);
  }
  void Set(const std::string& key, Value value) {
    values[key] = std::move(value);
    ++writes;
  }
};

}  // namespace pexol::pages
