// app/QtSettingsStore.h - the window's remembered settings, QSettings behind the page layer's store
#pragma once

#include <QSettings>

#include "app/pages/SettingsStore.h"

namespace pexol {

/// The window's remembered settings (the same store for every page and the window).
QSettings StoredSettings();

/// The page layer's store over `settings`, or, made without one, over the window's stored
/// settings opened for each value and written through at once.
class QtSettingsStore final : public pages::SettingsStore {
 public:
  QtSettingsStore() = default;
  explicit QtSettingsStore(QSettings& settings) : bound(&settings) {}

  std::optional<std::string> Text(const std::string& key) const override;
  std::optional<bool> Flag(const std::string& key) const override;
  std::optional<int> Number(const std::string& key) const override;
  std::optional<std::vector<std::string>> List(const std::string& key) const override;
  void SetText(const std::string& key, const std::string& value) override;
  void SetFlag(const std::string& key, bool value) override;
  void SetNumber(const std::string& key, int value) override;
  void SetList(const std::string& key, const std::vector<std::string>& value) override;
  void Flush() override;

 private:
  QVariant Value(const std::string& key) const;
  void Set(const std::string& key, const QVariant& value);

  QSettings* bound = nullptr;
};

}  // namespace pexol
