// app/pages/ConversionPages.cpp - the conversion pages' parts and jobs
#include "app/pages/ConversionPages.h"

#include "app/pages/ControlIds.h"
#include "core/Translation.h"
#include "run/RunConversions.h"

namespace pexol::pages {

ToTextPage::ToTextPage() : Page(Tr("mpj to txt")) {
  AddSoftwareBox(ids::toTextSoftwareBox, ids::toTextCorvane, ids::toTextLumetta, "toText/software");
  // The values do not follow the places: PAL is 1, FRAME 2, NTSC(non drop frame) 3. It starts
  // on the command line's default, as the export and render pages do.
  timecode = AddChoices(ids::toTextTimecodeBox, Tr("EDL output"),
                        {{ids::toTextNtscDrop, std::string(Tr("NTSC(drop frame)")),
                          static_cast<int>(TimecodeMode::NtscDrop)},
                         {ids::toTextPal, "PAL", static_cast<int>(TimecodeMode::Pal)},
                         {ids::toTextNtscNonDrop, std::string(Tr("NTSC(non drop frame)")),
                          static_cast<int>(TimecodeMode::NtscNonDrop)},
                         {ids::toTextFrame, "FRAME", static_cast<int>(TimecodeMode::Frame)}},
                        "toText/timecode", static_cast<int>(ToTextOptions{}.timecode));
  csv = AddCheck(ids::toTextCsv, "CSV", "toText/csv", true);
  utf8 = AddCheck(ids::toTextUtf8, Tr("UTF-8 text"), "toText/utf8");
  AddStretch();
  source = AddFileRow(ids::toTextSourceLabel, Tr("mpj source file"), ids::toTextSource,
                      ids::toTextSourceChooser, OpenFile("mpj", ProjectFilter()), "toText/source");
  destination = AddFileRow(ids::toTextDestinationLabel, Tr("txt destination file"),
                           ids::toTextDestination, ids::toTextDestinationChooser,
                           SaveFile("txt", TextFilter()), "toText/destination");
  AddRunRow(ids::toTextConvert, Tr("convert"), ids::toTextProgress, ids::toTextStatus,
            ids::toTextCancel);
  state.PictureFrom(source, timecode);
}

Page::Driver ToTextPage::MakeRun(const MediaFolders&) {
  ToTextJob job{state.Text(source), state.Text(destination), {}, state.ChosenSoftware()};
  // No button ticked means the first of the group, as it always has.
  job.options.timecode = static_cast<TimecodeMode>(state.Value(timecode, 0));
  job.options.csv = state.Flag(csv);
  job.options.encoding = state.Flag(utf8) ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  return [job](RunObserver& observer) { return RunProjectToText(job, observer); };
}

ToProjectPage::ToProjectPage() : Page(Tr("txt to mpj")) {
  AddSoftwareBox(ids::toProjectSoftwareBox, ids::toProjectCorvane, ids::toProjectLumetta,
                 "toProject/software");
  utf8 = AddCheck(ids::toProjectUtf8, Tr("UTF-8 text"), "toProject/utf8");
  source =
      AddFileRow(ids::toProjectSourceLabel, Tr("mpj source file"), ids::toProjectSource,
                 ids::toProjectSourceChooser, OpenFile("mpj", ProjectFilter()), "toProject/source");
  text = AddFileRow(ids::toProjectTextLabel, Tr("txt source file"), ids::toProjectText,
                    ids::toProjectTextChooser, OpenFile("txt", TextFilter()), "toProject/text");
  // The destination sits apart from the two sources, as it always has.
  AddStretch();
  destination = AddFileRow(ids::toProjectDestinationLabel, Tr("mpj destination file"),
                           ids::toProjectDestination, ids::toProjectDestinationChooser,
                           SaveFile("mpj", ProjectFilter()), "toProject/destination");
  AddRunRow(ids::toProjectConvert, Tr("convert"), ids::toProjectProgress, ids::toProjectStatus,
            ids::toProjectCancel);
  state.PictureFrom(source);
}

Page::Driver ToProjectPage::MakeRun(const MediaFolders&) {
  ToProjectJob job{
      state.Text(source), state.Text(text), state.Text(destination), {}, state.ChosenSoftware()};
  job.options.encoding = state.Flag(utf8) ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
  return [job](RunObserver& observer) { return RunTextToProject(job, observer); };
}

}  // namespace pexol::pages
