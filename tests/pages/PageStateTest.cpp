// tests/pages/PageStateTest.cpp - the page layer's fields: settings, destinations, the picture
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "MemorySettings.h"
#include "app/pages/ControlIds.h"
#include "app/pages/ConversionPages.h"
#include "app/pages/ExportPage.h"
#include "app/pages/FileRequest.h"
#include "app/pages/FindPage.h"
#include "app/pages/MediaFolders.h"
#include "app/pages/WindowRules.h"
#include "export/ExportFormats.h"
#include "support/TempFolder.h"

namespace pexol::pages {
namespace {

namespace fs = std::filesystem;

class PageFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / test::TestFolderName("pexol-pages-");
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string File(const std::string& name, std::string_view bytes = "x") {
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  fs::path folder;
};

TEST(PageSettings, KeysAndValuesOfEarlierVersionsComeBackAndChangesAreWrittenAtOnce) {
  MemorySettings stored;
  stored.values = {{"toText/timecode", 1},
                   {"toText/csv", true},
                   {"toText/software", -1},
                   {"toText/source", std::string("a.mpj")},
                   {"export/format", 3},
                   {"export/timecode", 7},
                   {"find/report", std::string("r.txt")}};
  ToTextPage toText;
  ExportPage exportPage;
  FindPage find;
  MemorySettings live;
  toText.State().Load(stored, &live);
  exportPage.State().Load(stored, &live);
  find.State().Load(stored, &live);
  // The format an earlier version kept as its row's place comes back and is kept by name.
  EXPECT_EQ(live.writes, 1) << "loading writes nothing back but the format's name";
  EXPECT_EQ(std::get<std::string>(live.values.at("export/format")), "mlt");

  EXPECT_EQ(toText.State().Value(toText.timecode), static_cast<int>(TimecodeMode::Pal));
  EXPECT_TRUE(toText.State().Flag(toText.csv));
  EXPECT_TRUE(toText.State().ChosenSoftware().automatic);
  EXPECT_EQ(toText.State().Text(toText.source), "a.mpj");
  EXPECT_EQ(exportPage.State().Value(exportPage.format), 3);
  // No button stands for 7: the page's own default stays.
  EXPECT_EQ(exportPage.State().Value(exportPage.timecode),
            static_cast<int>(TimecodeMode::NtscDrop));
  EXPECT_EQ(find.State().Text(find.report), "r.txt");

  toText.State().SetValue(toText.timecode, static_cast<int>(TimecodeMode::Frame));
  toText.State().SetText(toText.destination, "b.txt");
  EXPECT_EQ(std::get<int>(live.values.at("toText/timecode")), 2);
  EXPECT_EQ(std::get<std::string>(live.values.at("toText/destination")), "b.txt");
  EXPECT_EQ(live.flushes, 3);

  MemorySettings saved;
  toText.State().Save(saved);
  EXPECT_EQ(std::get<int>(saved.values.at("toText/software")), -1);
  EXPECT_EQ(std::get<bool>(saved.values.at("toText/utf8")), false);
}

TEST(PageSettings, TheExportFormatIsKeptByNameAndItsButtonsKeepTheirIds) {
  ExportPage page;
  MemorySettings live;
  page.State().Load(MemorySettings(), &live);
  page.State().SetValue(page.format, 5);
  EXPECT_EQ(std::get<std::string>(live.values.at("export/format")), "fcp7");
  page.State().SetValue(page.format, ExportPage::fromExtension);
  EXPECT_EQ(std::get<std::string>(live.values.at("export/format")), ExportPage::fromExtensionName);

  for (const auto& [kept, chosen] : std::vector<std::pair<MemorySettings::Value, int>>{
           {std::string("fcpxml"), 6},
           {std::string("vegas"), 0},
           {6, 6},
           {7, 0},
           {std::string(ExportPage::fromExtensionName), 0}}) {
    MemorySettings stored;
    stored.values["export/format"] = kept;
    ExportPage again;
    again.State().Load(stored, &stored);
    EXPECT_EQ(again.State().Value(again.format), chosen) << stored.writes;
    // Only a number is rewritten, and only one that named a format.
    EXPECT_EQ(stored.writes, std::holds_alternative<int>(kept) && chosen != 0 ? 1 : 0);
    MemorySettings saved;
    again.State().Save(saved);
    EXPECT_EQ(std::get<std::string>(saved.values.at("export/format")),
              chosen == 0 ? ExportPage::fromExtensionName : "fcpxml");
  }

  // Scripts and tests click the format buttons by these numbers.
  std::vector<int> buttons;
  for (const FormPart& part : page.Parts())
    if (part.id == ids::exportFormatBox)
      for (const Choice& choice : part.choices) buttons.push_back(choice.id);
  EXPECT_EQ(buttons, (std::vector<int>{1094, 1095, 1096, 1097, 1117, 1118, 1119, 1400}));
  EXPECT_EQ(ExportPage::FormatButton("kdenlive"), 1117);
  // Rows added to the table take ids no control of any page has, nor the collect dialog's.
  std::set<int> taken;
  for (const auto& shared : MakeSharedPages())
    for (const FormPart& part : shared->Parts()) {
      taken.insert({part.id, part.labelId, part.editId, part.chooserId, part.progressId,
                    part.statusId, part.cancelId});
      for (const Choice& choice : part.choices) taken.insert(choice.id);
    }
  for (std::size_t row = 0; row < 20; ++row)
    taken.insert(ids::collectFormatFirst + static_cast<int>(row));
  taken.insert(ids::timeline);  // the picture under the pages
  for (std::size_t row = ExportFormats().size(); row < ExportFormats().size() + 10; ++row)
    EXPECT_FALSE(taken.contains(ids::ExportFormatButton(row))) << row;
}

TEST(PageSettings, DamagedValuesLeaveTheStartState) {
  MemorySettings stored;
  stored.values = {{"toText/software", 7},
                   {"toText/timecode", std::string("PAL")},
                   {"export/format", -1},
                   {"toText/csv", 1}};
  ToTextPage toText;
  ExportPage exportPage;
  toText.State().Load(stored);
  exportPage.State().Load(stored);
  EXPECT_TRUE(toText.State().ChosenSoftware().automatic);
  EXPECT_EQ(toText.State().Value(toText.timecode), static_cast<int>(TimecodeMode::NtscDrop));
  EXPECT_FALSE(toText.State().Flag(toText.csv));
  EXPECT_EQ(exportPage.State().Value(exportPage.format), ExportPage::fromExtension);
  FindPage find;
  EXPECT_EQ(find.State().Text(find.report), nullDevice);
  // The name it started with before: the null device by its own name on this system.
  stored.values = {{"find/report", std::string("nul")}};
  MemorySettings live;
  find.Load(stored, &live);
  EXPECT_EQ(find.State().Text(find.report), nullDevice);
  EXPECT_EQ(live.writes, std::string(nullDevice) == "nul" ? 0 : 1);
}

TEST_F(PageFiles, OnlyTypedExistingFilesAreAskedAboutUntilTheUserAgrees) {
  ToProjectPage page;
  PageState& state = page.State();
  const std::string existing = File("old.mpj");
  std::vector<std::string> asked;
  const auto answer = [&asked](bool yes) {
    return [&asked, yes](const std::string& question) {
      asked.push_back(question);
      return yes;
    };
  };

  for (const std::string& harmless :
       {std::string(), (folder / "new.mpj").string(), folder.string(), std::string("NUL")}) {
    state.SetText(page.destination, harmless);
    EXPECT_TRUE(MayReplace(state, answer(false))) << harmless;
  }
  EXPECT_TRUE(asked.empty());

  state.SetText(page.destination, existing);
  EXPECT_FALSE(MayReplace(state, answer(false)));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], existing + " exists. Replace it?");

  // A save dialog asked already; typing over its choice asks again.
  state.SetChosen(page.destination, existing);
  EXPECT_TRUE(MayReplace(state, answer(false)));
  state.Typed(page.destination);
  EXPECT_FALSE(MayReplace(state, answer(false)));

  // The file a run wrote may be edited before the next run, which asks again.
  state.SetChosen(page.destination, existing);
  ResultMessage(RunResult{}, state);
  EXPECT_FALSE(MayReplace(state, answer(false)));
  EXPECT_TRUE(MayReplace(state, answer(true)));
  // Sources are never destinations.
  state.SetText(page.source, existing);
  state.SetText(page.destination, "");
  EXPECT_TRUE(MayReplace(state, answer(false)));
}

TEST(PageResults, CompletedRunsNameTheSoftwareChosenAndTheirWarnings) {
  ToTextPage page;
  RunResult done{RunResult::Status::Completed,
                 "convert completed\n\nsource",
                 Software::Lumetta,
                 {"media not found: a.avi"}};
  const ShownMessage shown = ResultMessage(done, page.State());
  EXPECT_EQ(shown.text,
            "convert completed\n\nsource\n\nRead as \"Lumetta\" (chosen automatically).\n\n"
            "warning: media not found: a.avi");
  EXPECT_FALSE(shown.exclamation);

  // A failure keeps its words; a Shift-JIS name in it is shown decoded.
  const ShownMessage failed =
      ResultMessage(RunResult::Failed("Can not read \x83\x5e.mpj"), page.State());
  EXPECT_EQ(failed.text, "Can not read \xE3\x82\xBF.mpj");
  EXPECT_TRUE(failed.exclamation);
}

TEST_F(PageFiles, ThePictureSearchesAsTheRunDoesAndReadsOnlyPlainFiles) {
  FindPage find;
  MediaFolders media{{"C:\\Video=/media"}, {"/first"}};
  find.State().SetText(find.source, (folder / "none.mpj").string());
  find.State().SetText(find.searchFolder, "/page");
  EXPECT_EQ(PictureToShow(find.State(), media).source, "");
  const std::string project = File("p.mpj");
  find.State().SetText(find.source, project);
  find.State().SetValue(find.State().SoftwareField(), static_cast<int>(Software::Lumetta));
  const PictureRequest request = PictureToShow(find.State(), media);
  EXPECT_EQ(request.source, project);
  EXPECT_EQ(request.maps, media.maps);
  EXPECT_EQ(request.searchFolders, (std::vector<std::string>{"/first", "/page"}));
  EXPECT_FALSE(request.software.automatic);
  EXPECT_TRUE(find.State().DrawsPicture(find.searchFolder));
  EXPECT_FALSE(find.State().DrawsPicture(find.report));

  ProjectOffer offer;
  offer.Named(folder.string());  // a folder is no project
  EXPECT_EQ(offer.For(""), "");
  offer.Named(project);
  EXPECT_EQ(offer.For(""), project);
  EXPECT_EQ(offer.For("typed.mpj"), "");
}

TEST(MediaFolderSetting, TheFormerSingleSearchFolderStartsTheListAndRulesAreChecked) {
  MemorySettings stored;
  stored.values = {{"find/searchFolder", std::string("/old")}};
  EXPECT_EQ(MediaFolders::Load(stored).searchFolders, std::vector<std::string>{"/old"});
  stored.values["media/searchFolders"] = std::vector<std::string>{};
  EXPECT_TRUE(MediaFolders::Load(stored).searchFolders.empty());

  EXPECT_EQ(MapRule("  C:\\Video ", " /media/video\t"), "C:\\Video=/media/video");
  EXPECT_FALSE(MapRule("C:\\a=b", "/x"));
  EXPECT_FALSE(MapRule(" ", "/x"));
  EXPECT_FALSE(MapRule("C:\\Video", ""));
}

TEST(PageParts, EveryControlOfTheWindowHasAnIdOfItsOwnAndFiltersListTheirPatterns) {
  std::set<int> seen;
  for (const auto& page : MakeSharedPages())
    for (const FormPart& part : page->Parts()) {
      std::vector<int> ids{part.id};
      for (const Choice& choice : part.choices) ids.push_back(choice.id);
      if (part.kind == PartKind::File) ids = {part.labelId, part.editId, part.chooserId};
      if (part.kind == PartKind::Run)
        ids.insert(ids.end(), {part.progressId, part.statusId, part.cancelId});
      for (int id : ids) {
        if (id == 0) continue;
        EXPECT_TRUE(seen.insert(id).second) << page->Title() << ": " << id;
      }
    }
  EXPECT_GT(seen.size(), 60u);

  const auto entries = FilterEntries(
      "MLT (Shotcut) (*.mlt);;Final Cut Pro 7 XML (Premiere Pro, Resolve) (*.xml *.fcp);;all(*.*)");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].label, "MLT (Shotcut) (*.mlt)");
  EXPECT_EQ(entries[0].patterns, "*.mlt");
  EXPECT_EQ(entries[1].patterns, "*.xml;*.fcp");
  EXPECT_EQ(entries[2].patterns, "*.*");
}

}  // namespace
}  // namespace pexol::pages
