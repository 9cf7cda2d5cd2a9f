// app/pages/Page.h - a page of the window as both windows build it: its parts in order, its state
// and the job it runs
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/pages/FileRequest.h"
#include "app/pages/PageState.h"
#include "app/pages/RunThread.h"

namespace pexol::pages {

struct MediaFolders;

/// One radio button of a choice box.
struct Choice {
  int id;
  std::string text;
  int value;
};

enum class PartKind {
  Choices,       ///< a titled box of radio buttons, `columns` to a row
  Check,         ///< a check box, left-aligned; `inBoxAbove` puts it under the box above's buttons
  Stretch,       ///< the room that grows with the window
  File,          ///< a caption above an edit with its "..." button beside it
  MediaFolders,  ///< the "media folders..." button, on the right
  Run,           ///< the run button (Cancel in its place while it runs), the bar and status line
  Action,        ///< another button, on the right, that starts `Page::Act`
};

/// One part of a page, top to bottom; `field` is the state field it shows.
struct FormPart {
  PartKind kind;
  int field = -1;
  int id = 0;             ///< the box, check box or button
  std::string text = {};  ///< the box's title, check box's text, file row's caption, button's text
  std::vector<Choice> choices = {};
  int columns = 2;
  bool inBoxAbove = false;
  int labelId = 0, editId = 0, chooserId = 0;      ///< a file row's controls
  FileRequest request = {};                        ///< what a file row's "..." button asks for
  int progressId = 0, statusId = 0, cancelId = 0;  ///< the run row's controls
  /// Whether the part can be used as the fields now stand (greyed out otherwise); empty for
  /// always. The views ask again after every change of a field.
  std::function<bool(const PageState& state)> enabled = {};
};

/// A page with a run. A window shows its parts, keeps its state as the user changes them and,
/// when the run button is pressed, runs the job `MakeRun` builds as its `PageRun` runs it.
class Page {
 public:
  using Driver = pages::Driver;

  virtual ~Page() = default;
  const std::string& Title() const { return title; }
  const std::vector<FormPart>& Parts() const { return parts; }
  PageState& State() { return state; }
  const PageState& State() const { return state; }

  /// The job of the page's fields, run on a worker thread; it owns all it reads.
  virtual Driver MakeRun(const MediaFolders& media) = 0;
  /// Brings back the page's remembered fields, as `PageState::Load` does.
  virtual void Load(const SettingsStore& store, SettingsStore* live = nullptr) {
    state.Load(store, live);
  }

 protected:
  /// `title` and every text given to the Add functions are shown as they are: the pages pass
  /// them translated.
  explicit Page(std::string_view title) : title(title) {}

  /// The "software" box every page starts with; none ticked leaves the choice to the run.
  void AddSoftwareBox(int boxId, int corvaneId, int lumettaId, const char* key);
  /// A choice box whose field starts at `start` (-1: none ticked), `columns` buttons to a row.
  int AddChoices(int boxId, std::string_view title, std::vector<Choice> choices, const char* key,
                 int start = -1, int columns = 2);
  int AddCheck(int id, std::string_view text, const char* key, bool inBoxAbove = false);
  void AddStretch();
  /// A save request makes the edit a destination, which a run asks about before replacing it.
  int AddFileRow(int labelId, std::string_view caption, int editId, int chooserId,
                 FileRequest request, const char* key, std::string start = {});
  void AddMediaFoldersButton(int id);
  void AddRunRow(int buttonId, std::string_view text, int progressId, int statusId, int cancelId);
  void AddAction(int id, std::string_view text);
  /// The part added last can be used only while `rule` holds.
  void EnableWhen(std::function<bool(const PageState& state)> rule);

  PageState state;

 private:
  std::string title;
  std::vector<FormPart> parts;
};

/// The pages both windows show, in their order: "mpj to txt", "txt to mpj", "find", "export".
/// (The Qt window adds "render", a `RenderPage`, after them; "about" closes the row in both.)
std::vector<std::unique_ptr<Page>> MakeSharedPages();

}  // namespace pexol::pages
