// app/QtSettingsStore.cpp - settings values as the earlier windows stored them
#include "app/QtSettingsStore.h"

#include <QStringList>

namespace pexol {

namespace {

QString KeyOf(const std::string& key) {
  return QString::fromStdString(key);
}

}  // namespace

QSettings StoredSettings() {
  return QSettings(QStringLiteral("pexol"), QStringLiteral("pexol"));
}

QVariant QtSettingsStore::Value(const std::string& key) const {
  if (bound != nullptr) return bound->value(KeyOf(key));
  return StoredSettings().value(KeyOf(key));
}

void QtSettingsStore::Set(const std::string& key, const QVariant& value) {
  if (bound != nullptr) {
    bound->setValue(KeyOf(key), value);
    return;
  }
  QSettings stored = StoredSettings();
  stored.setValue(KeyOf(key), value);
  stored.sync();
}

std::optional<std::string> QtSettingsStore::Text(const std::string& key) const {
  const QVariant value = Value(key);
  if (!value.isValid()) return std::nullopt;
  return value.toString().toStdString();
}

std::optional<bool> QtSettingsStore::Flag(const std::string& key) const {
  const QVariant value = Value(key);
  if (!value.isValid()) return std::nullopt;
  return value.toBool();
}

std::optional<int> QtSettingsStore::Number(const std::string& key) const {
  bool isNumber = false;
  const int number = Value(key).toInt(&isNumber);
  if (!isNumber) return std::nullopt;
  return number;
}

std::optional<std::vector<std::string>> QtSettingsStore::List(const std::string& key) const {
  // An empty list is stored as no value; the key is there all the same.
  const bool stored =
      bound != nullptr ? bound->contains(KeyOf(key)) : StoredSettings().contains(KeyOf(key));
  if (!stored) return std::nullopt;
  const QVariant value = Value(key);
  std::vector<std::string> list;
  for (const QString& item : value.toStringList()) list.push_back(item.toStdString());
  return list;
}

void QtSettingsStore::SetText(const std::string& key, const std::string& value) {
  Set(key, QString::fromStdString(value));
}

void QtSettingsStore::SetFlag(const std::string& key, bool value) {
  Set(key, value);
}

void QtSettingsStore::SetNumber(const std::string& key, int value) {
  Set(key, value);
}

void QtSettingsStore::SetList(const std::string& key, const std::vector<std::string>& value) {
  QStringList list;
  for (const std::string& item : value) list << QString::fromStdString(item);
  Set(key, list);
}

void QtSettingsStore::Flush() {
  if (bound != nullptr) bound->sync();
}

}  // namespace pexol
