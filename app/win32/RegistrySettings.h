// app/win32/RegistrySettings.h - the window's remembered settings under HKEY_CURRENT_USER
#pragma once

#include <string>

#include "app/pages/SettingsStore.h"

namespace pexol::win32 {

/// Settings under HKEY_CURRENT_USER\<root> (normally Software\pexol): a key "toText/source" is
/// value "source" of subkey "toText". Texts are REG_SZ, flags and numbers REG_DWORD, lists
/// REG_MULTI_SZ; every value is written through at once.
class RegistrySettings final : public pages::SettingsStore {
 public:
  explicit RegistrySettings(std::wstring root = L"Software\\pexol") : root(std::move(root)) {}

  std::optional<std::string> Text(const std::string& key) const override;
  std::optional<bool> Flag(const std::string& key) const override;
  std::optional<int> Number(const std::string& key) const override;
  std::optional<std::vector<std::string>> List(const std::string& key) const override;
  void SetText(const std::string& key, const std::string& value) override;
  void SetFlag(const std::string& key, bool value) override;
  void SetNumber(const std::string& key, int value) override;
  void SetList(const std::string& key, const std::vector<std::string>& value) override;

 private:
  std::optional<std::wstring> Read(const std::string& key, unsigned long type) const;
  void Write(const std::string& key, unsigned long type, const void* data, unsigned long size);

  std::wstring root;
};

}  // namespace pexol::win32
