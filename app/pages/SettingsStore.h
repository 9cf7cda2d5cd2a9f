// app/pages/SettingsStore.h - where a window keeps what the user chose, as the pages see it
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pexol::pages {

/// A window's remembered settings, by key ("toText/source"): QSettings under Qt, the registry
/// on Windows. A getter answers nullopt for a key that is missing or holds another kind of
/// value, which leaves the field as it is.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Text(const std::string& key) const = 0;
  virtual std::optional<bool> Flag(const std::string& key) const = 0;
  virtual std::optional<int> Number(const std::string& key) const = 0;
  virtual std::optional<std::vector<std::string>> List(const std::string& key) const = 0;
  virtual void SetText(const std::string& key, const std::string& value) = 0;
  virtual void SetFlag(const std::string& key, bool value) = 0;
  virtual void SetNumber(const std::string& key, int value) = 0;
  virtual void SetList(const std::string& key, const std::vector<std::string>& value) = 0;
  /// Writes what was set through to the store's file or hive.
  virtual void Flush() {}
};

}  // namespace pexol::pages
