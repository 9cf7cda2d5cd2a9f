// app/pages/PageState.h - a page's fields, their remembered settings and the rules on them
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Options.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol::pages {

class SettingsStore;

enum class FieldKind { Text, Flag, Choice, Number };

/// One value a page's control stands for, remembered under `key`.
struct Field {
  std::string key;
  FieldKind kind = FieldKind::Text;
  std::string text = {};         ///< a Text field's UTF-8 text
  int value = 0;                 ///< a Flag's 0 or 1, a Choice's value (-1: none), a Number
  std::vector<int> values = {};  ///< the values a Choice's buttons stand for
  /// A Choice kept by name: one for each of `values`; empty keeps the value itself.
  std::vector<std::string> names = {};
  /// The names of the numbers an older version kept for a Choice kept by name, by number.
  std::vector<std::string> numbered = {};
  int min = 0, max = 0;         ///< a Number's range
  bool destination = false;     ///< a file a run replaces
  bool chosenInDialog = false;  ///< chosen in a save dialog (which asked) and not typed over since
};

/// What the project's picture is drawn from; a new one replaces the picture being drawn.
struct PictureRequest {
  std::string source;  ///< UTF-8 path; empty draws none
  TimecodeMode timecode = TimecodeMode::NtscDrop;
  SoftwareChoice software = SoftwareChoice::Automatic();
  std::vector<std::string> maps = {};
  std::vector<std::string> searchFolders = {};

  bool operator==(const PictureRequest& other) const;
};

/// The state of a page that runs a job, without any toolkit: each field's value, which the
/// window's controls show and set. Once loaded, every change is written to the live store at
/// once, so that a window that ends badly loses nothing.
class PageState {
 public:
  int AddText(std::string key, std::string start = {}, bool destination = false);
  int AddFlag(std::string key, bool start = false);
  /// None of `values` chosen unless `start` is one of them.
  int AddChoice(std::string key, std::vector<int> values, int start = -1);
  int AddNumber(std::string key, int min, int max, int start);
  /// Keeps the Choice `field` by name, `names` one for each of its values, so that a list that
  /// grows leaves what was chosen as it was. A number an older version kept is read as
  /// `numbered`'s name at that place and rewritten as the name when the state is loaded.
  void KeepByName(int field, std::vector<std::string> names, std::vector<std::string> numbered);

  const Field& At(int field) const { return fields.at(static_cast<std::size_t>(field)); }
  int Count() const { return static_cast<int>(fields.size()); }
  const std::string& Text(int field) const { return At(field).text; }
  bool Flag(int field) const { return At(field).value != 0; }
  /// A Choice's value, `none` when no button is chosen; a Number's value.
  int Value(int field, int none = -1) const;

  /// Text set by typing or by the program.
  void SetText(int field, std::string text);
  /// Typing makes the name the user's own again: the save dialog's question no longer covers it.
  void Typed(int field);
  /// Text chosen in a file dialog.
  void SetChosen(int field, std::string text);
  void SetFlag(int field, bool on);
  /// A Choice takes only a value one of its buttons stands for; a Number is kept in its range.
  void SetValue(int field, int value);

  /// Brings back what `store` remembers; a value no control stands for leaves the field as it
  /// is. From then on changes go to `live` (when not null) as they are made.
  void Load(const SettingsStore& store, SettingsStore* live = nullptr);
  void Save(SettingsStore& store) const;

  /// Called after a field's value changed, for the view to show it.
  std::function<void(int field)> onChanged;

  /// The software box's field; none ticked leaves the choice to the run.
  void SetSoftwareField(int field) { software = field; }
  int SoftwareField() const { return software; }
  SoftwareChoice ChosenSoftware() const;

  /// The picture shows the project of `source` in the timecode of `timecode` (-1: the
  /// picture's default); it also searches the page's `folder` after the media folders.
  void PictureFrom(int source, int timecode = -1);
  void PictureSearches(int folder) { pictureFolder = folder; }
  int SourceField() const { return pictureSource; }
  /// True for the fields the picture is drawn from (the software among them).
  bool DrawsPicture(int field) const;
  /// The page's part of its picture: source, timecode, software and its own search folder.
  PictureRequest Picture() const;

  /// The destinations a run would replace without the user having agreed to: existing plain
  /// files that were typed, not chosen in a save dialog. A folder, a device or "nul" is no
  /// file to replace; the run says what it makes of it.
  std::vector<std::string> DestinationsToAsk() const;
  /// A completed run: what it wrote may be edited before the next run, which asks again.
  void RunCompleted();

 private:
  int Add(Field field);
  void Changed(int field);
  void LoadByName(int field, const SettingsStore& store);
  /// The name a Choice kept by name is saved as; "" when none is chosen.
  static std::string NameOf(const Field& field);
  /// Writes `field` under its key, as its kind is kept.
  static void Write(SettingsStore& store, const Field& field);

  std::vector<Field> fields;
  int software = -1;
  int pictureSource = -1;
  int pictureTimecode = -1;
  int pictureFolder = -1;
  SettingsStore* live = nullptr;
  bool loaded = false;
};

}  // namespace pexol::pages
