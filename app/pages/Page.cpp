// app/pages/Page.cpp - the parts a page is built of
#include "app/pages/Page.h"

#include "core/Translation.h"

namespace pexol::pages {

void Page::AddSoftwareBox(int boxId, int corvaneId, int lumettaId, const char* key) {
  const int field =
      AddChoices(boxId, Tr("software"),
                 {{corvaneId, "Corvane, Brisko", static_cast<int>(Software::CorvaneBrisko)},
                  {lumettaId, "Lumetta", static_cast<int>(Software::Lumetta)}},
                 key);
  state.SetSoftwareField(field);
}

int Page::AddChoices(int boxId, std::string_view boxTitle, std::vector<Choice> choices,
                     const char* key, int start, int columns) {
  std::vector<int> values;
  for (const Choice& choice : choices) values.push_back(choice.value);
  const int field = state.AddChoice(key, std::move(values), start);
  FormPart part{PartKind::Choices, field, boxId, std::string(boxTitle)};
  part.choices = std::move(choices);
  part.columns = columns;
  parts.push_back(std::move(part));
  return field;
}

int Page::AddCheck(int id, std::string_view text, const char* key, bool inBoxAbove) {
  const int field = state.AddFlag(key);
  FormPart part{PartKind::Check, field, id, std::string(text)};
  part.inBoxAbove = inBoxAbove;
  parts.push_back(std::move(part));
  return field;
}

void Page::EnableWhen(std::function<bool(const PageState& state)> rule) {
  parts.back().enabled = std::move(rule);
}

void Page::AddStretch() {
  parts.push_back({PartKind::Stretch});
}

int Page::AddFileRow(int labelId, std::string_view caption, int editId, int chooserId,
                     FileRequest request, const char* key, std::string start) {
  const int field = state.AddText(key, std::move(start), request.kind == FileDialogKind::SaveAs);
  FormPart part{PartKind::File, field, editId, std::string(caption)};
  part.labelId = labelId;
  part.editId = editId;
  part.chooserId = chooserId;
  part.request = std::move(request);
  parts.push_back(std::move(part));
  return field;
}

void Page::AddMediaFoldersButton(int id) {
  parts.push_back({PartKind::MediaFolders, -1, id, std::string(Tr("media folders..."))});
}

void Page::AddRunRow(int buttonId, std::string_view text, int progressId, int statusId,
                     int cancelId) {
  FormPart part{PartKind::Run, -1, buttonId, std::string(text)};
  part.progressId = progressId;
  part.statusId = statusId;
  part.cancelId = cancelId;
  parts.push_back(std::move(part));
}

void Page::AddAction(int id, std::string_view text) {
  parts.push_back({PartKind::Action, -1, id, std::string(text)});
}

}  // namespace pexol::pages
