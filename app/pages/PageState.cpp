// app/pages/PageState.cpp - fields, settings written as they change, destinations to ask about
#include "app/pages/PageState.h"

#include <algorithm>
#include <filesystem>

#include "app/pages/SettingsStore.h"
#include "core/FileIo.h"
#include "core/PlatformPath.h"

namespace pexol::pages {

bool PictureRequest::operator==(const PictureRequest& other) const {
  return source == other.source && timecode == other.timecode &&
         software.automatic == other.software.automatic &&
         (software.automatic || software.named == other.software.named) && maps == other.maps &&
         searchFolders == other.searchFolders;
}

int PageState::Add(Field field) {
  fields.push_back(std::move(field));
  return Count() - 1;
}

int PageState::AddText(std::string key, std::string start, bool destination) {
  Field field{std::move(key), FieldKind::Text, std::move(start)};
  field.destination = destination;
  return Add(std::move(field));
}

int PageState::AddFlag(std::string key, bool start) {
  return Add({std::move(key), FieldKind::Flag, {}, start ? 1 : 0});
}

int PageState::AddChoice(std::string key, std::vector<int> values, int start) {
  const bool known = std::find(values.begin(), values.end(), start) != values.end();
  return Add({std::move(key), FieldKind::Choice, {}, known ? start : -1, std::move(values)});
}

int PageState::AddNumber(std::string key, int min, int max, int start) {
  Field field{std::move(key), FieldKind::Number, {}, std::clamp(start, min, max)};
  field.min = min;
  field.max = max;
  return Add(std::move(field));
}

void PageState::KeepByName(int field, std::vector<std::string> names,
                           std::vector<std::string> numbered) {
  Field& at = fields.at(static_cast<std::size_t>(field));
  at.names = std::move(names);
  at.numbered = std::move(numbered);
}

std::string PageState::NameOf(const Field& field) {
  const auto at = std::find(field.values.begin(), field.values.end(), field.value);
  if (at == field.values.end()) return {};
  return field.names.at(static_cast<std::size_t>(at - field.values.begin()));
}

void PageState::LoadByName(int field, const SettingsStore& store) {
  const Field& at = At(field);
  std::optional<std::string> name = store.Text(at.key);
  const auto named = [&at](const std::optional<std::string>& given) {
    return given && std::find(at.names.begin(), at.names.end(), *given) != at.names.end();
  };
  bool rewrite = false;
  if (!named(name)) {
    // Qt reads a number back as text too, so the number is asked for only when no name is kept.
    const std::optional<int> number = store.Number(at.key);
    if (!number || *number < 0 || static_cast<std::size_t>(*number) >= at.numbered.size()) return;
    name = at.numbered[static_cast<std::size_t>(*number)];
    if (!named(name)) return;
    rewrite = true;
  }
  const auto place = std::find(at.names.begin(), at.names.end(), *name) - at.names.begin();
  SetValue(field, at.values[static_cast<std::size_t>(place)]);
  if (rewrite && live != nullptr) {
    live->SetText(at.key, *name);
    live->Flush();
  }
}

int PageState::Value(int field, int none) const {
  const Field& at = At(field);
  return at.kind == FieldKind::Choice && at.value < 0 ? none : at.value;
}

void PageState::Write(SettingsStore& store, const Field& at) {
  switch (at.kind) {
    case FieldKind::Text:
      store.SetText(at.key, at.text);
      break;
    case FieldKind::Flag:
      store.SetFlag(at.key, at.value != 0);
      break;
    case FieldKind::Choice:
    case FieldKind::Number:
      if (at.names.empty())
        store.SetNumber(at.key, at.value);
      else
        store.SetText(at.key, NameOf(at));
      break;
  }
}

void PageState::Changed(int field) {
  const Field& at = At(field);
  if (loaded && live != nullptr) {
    Write(*live, at);
    live->Flush();
  }
  if (onChanged) onChanged(field);
}

void PageState::SetText(int field, std::string text) {
  Field& at = fields.at(static_cast<std::size_t>(field));
  if (at.text == text) return;
  at.text = std::move(text);
  Changed(field);
}

void PageState::Typed(int field) {
  fields.at(static_cast<std::size_t>(field)).chosenInDialog = false;
}

void PageState::SetChosen(int field, std::string text) {
  SetText(field, std::move(text));
  fields.at(static_cast<std::size_t>(field)).chosenInDialog = true;
}

void PageState::SetFlag(int field, bool on) {
  Field& at = fields.at(static_cast<std::size_t>(field));
  if (at.value == (on ? 1 : 0)) return;
  at.value = on ? 1 : 0;
  Changed(field);
}

void PageState::SetValue(int field, int value) {
  Field& at = fields.at(static_cast<std::size_t>(field));
  if (at.kind == FieldKind::Number) value = std::clamp(value, at.min, at.max);
  if (at.kind == FieldKind::Choice &&
      std::find(at.values.begin(), at.values.end(), value) == at.values.end())
    return;
  if (at.value == value) return;
  at.value = value;
  Changed(field);
}

void PageState::Load(const SettingsStore& store, SettingsStore* writeTo) {
  loaded = false;
  live = writeTo;
  for (int f = 0; f < Count(); ++f) {
    Field& at = fields[static_cast<std::size_t>(f)];
    switch (at.kind) {
      case FieldKind::Text:
        if (const auto text = store.Text(at.key)) SetText(f, *text);
        at.chosenInDialog = false;
        break;
      case FieldKind::Flag:
        if (const auto flag = store.Flag(at.key)) SetFlag(f, *flag);
        break;
      case FieldKind::Choice:
      case FieldKind::Number:
        if (!at.names.empty())
          LoadByName(f, store);
        else if (const auto number = store.Number(at.key))
          SetValue(f, *number);
        break;
    }
  }
  loaded = true;
}

void PageState::Save(SettingsStore& store) const {
  for (const Field& at : fields) Write(store, at);
}

SoftwareChoice PageState::ChosenSoftware() const {
  const int chosen = software >= 0 ? Value(software) : -1;
  if (chosen < 0) return SoftwareChoice::Automatic();
  return SoftwareChoice::Named(static_cast<Software>(chosen));
}

void PageState::PictureFrom(int source, int timecode) {
  pictureSource = source;
  pictureTimecode = timecode;
}

bool PageState::DrawsPicture(int field) const {
  return field >= 0 && (field == pictureSource || field == pictureTimecode ||
                        field == pictureFolder || field == software);
}

PictureRequest PageState::Picture() const {
  PictureRequest request;
  if (pictureSource >= 0) request.source = Text(pictureSource);
  // No button ticked draws as the first of the group, as the run reads it.
  if (pictureTimecode >= 0) request.timecode = static_cast<TimecodeMode>(Value(pictureTimecode, 0));
  request.software = ChosenSoftware();
  if (pictureFolder >= 0 && !Text(pictureFolder).empty())
    request.searchFolders.push_back(Text(pictureFolder));
  return request;
}

std::vector<std::string> PageState::DestinationsToAsk() const {
  std::vector<std::string> ask;
  for (const Field& at : fields) {
    if (!at.destination || at.text.empty() || at.chosenInDialog || IsNullDevice(at.text)) continue;
    std::error_code error;
    if (std::filesystem::is_regular_file(platform::PathOf(at.text), error)) ask.push_back(at.text);
  }
  return ask;
}

void PageState::RunCompleted() {
  for (Field& at : fields)
    if (at.destination) at.chosenInDialog = false;
}

}  // namespace pexol::pages
