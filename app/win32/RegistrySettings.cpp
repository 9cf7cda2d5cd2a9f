// app/win32/RegistrySettings.cpp - settings values in the registry, in wide strings
#include "app/win32/RegistrySettings.h"

#include <windows.h>

#include <cstring>

#include "core/PlatformPath.h"

namespace pexol::win32 {

namespace {

/// "toText/source" is subkey "toText", value "source".
std::pair<std::wstring, std::wstring> Split(const std::wstring& root, const std::string& key) {
  const std::size_t slash = key.rfind('/');
  std::wstring subkey = root;
  if (slash != std::string::npos) subkey += L"\\" + platform::WideOf(key.substr(0, slash));
  return {subkey, platform::WideOf(slash == std::string::npos ? key : key.substr(slash + 1))};
}

}  // namespace

std::optional<std::wstring> RegistrySettings::Read(const std::string& key,
                                                   unsigned long type) const {
  const auto [subkey, name] = Split(root, key);
  DWORD found = 0;
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                   &found, nullptr, &size) != ERROR_SUCCESS ||
      found != type)
    return std::nullopt;
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                   &found, data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size / sizeof(wchar_t));
  return data;
}

void RegistrySettings::Write(const std::string& key, unsigned long type, const void* data,
                             unsigned long size) {
  const auto [subkey, name] = Split(root, key);
  RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), type, data, size);
}

std::optional<std::string> RegistrySettings::Text(const std::string& key) const {
  auto data = Read(key, REG_SZ);
  if (!data) return std::nullopt;
  while (!data->empty() && data->back() == L'\0') data->pop_back();
  return platform::Utf8OfWide(*data);
}

std::optional<int> RegistrySettings::Number(const std::string& key) const {
  const auto data = Read(key, REG_DWORD);
  if (!data || data->size() < 2) return std::nullopt;
  DWORD value = 0;
  std::memcpy(&value, data->data(), sizeof value);
  return static_cast<int>(value);
}

std::optional<bool> RegistrySettings::Flag(const std::string& key) const {
  const auto number = Number(key);
  if (!number) return std::nullopt;
  return *number != 0;
}

std::optional<std::vector<std::string>> RegistrySettings::List(const std::string& key) const {
  const auto data = Read(key, REG_MULTI_SZ);
  if (!data) return std::nullopt;
  std::vector<std::string> list;
  std::size_t start = 0;
  while (start < data->size()) {
    const std::size_t end = data->find(L'\0', start);
    const std::wstring item = data->substr(start, end - start);
    if (item.empty()) break;  // the empty string that ends the list
    list.push_back(platform::Utf8OfWide(item));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return list;
}

void RegistrySettings::SetText(const std::string& key, const std::string& value) {
  const std::wstring wide = platform::WideOf(value);
  Write(key, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void RegistrySettings::SetNumber(const std::string& key, int value) {
  const auto number = static_cast<DWORD>(value);
  Write(key, REG_DWORD, &number, sizeof number);
}

void RegistrySettings::SetFlag(const std::string& key, bool value) {
  SetNumber(key, value ? 1 : 0);
}

void RegistrySettings::SetList(const std::string& key, const std::vector<std::string>& value) {
  std::wstring data;
  for (const std::string& item : value)
    if (!item.empty()) data += platform::WideOf(item) + L'\0';
  data += L'\0';
  if (value.empty()) data += L'\0';
  Write(key, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

}  // namespace pexol::win32
