// app/pages/ControlIds.h - every control's id: its object name in Qt, its child id in Win32
#pragma once

#include <cstddef>

namespace pexol::ids {

// The window and its tabs.
inline constexpr int window = 102;
inline constexpr int tabs = 1059;

// "mpj to txt"
inline constexpr int toTextSoftwareBox = 1051;
inline constexpr int toTextCorvane = 1041;
inline constexpr int toTextLumetta = 1042;
inline constexpr int toTextTimecodeBox = 1052;
inline constexpr int toTextNtscDrop = 1013;
inline constexpr int toTextPal = 1014;
inline constexpr int toTextNtscNonDrop = 1017;
inline constexpr int toTextFrame = 1040;
inline constexpr int toTextCsv = 1046;
inline constexpr int toTextUtf8 = 1085;
inline constexpr int toTextSourceLabel = 1053;
inline constexpr int toTextSource = 1016;
inline constexpr int toTextSourceChooser = 1015;
inline constexpr int toTextDestinationLabel = 1054;
inline constexpr int toTextDestination = 1018;
inline constexpr int toTextDestinationChooser = 1019;
inline constexpr int toTextConvert = 1011;
inline constexpr int toTextProgress = 1021;
inline constexpr int toTextStatus = 1039;
inline constexpr int toTextCancel = 1111;

// "txt to mpj"
inline constexpr int toProjectSoftwareBox = 1055;
inline constexpr int toProjectCorvane = 1043;
inline constexpr int toProjectLumetta = 1044;
inline constexpr int toProjectUtf8 = 1086;
inline constexpr int toProjectSourceLabel = 1056;
inline constexpr int toProjectSource = 1020;
inline constexpr int toProjectSourceChooser = 1022;
inline constexpr int toProjectTextLabel = 1057;
inline constexpr int toProjectText = 1025;
inline constexpr int toProjectTextChooser = 1026;
inline constexpr int toProjectDestinationLabel = 1058;
inline constexpr int toProjectDestination = 1023;
inline constexpr int toProjectDestinationChooser = 1024;
inline constexpr int toProjectConvert = 1012;
inline constexpr int toProjectProgress = 1038;
inline constexpr int toProjectStatus = 1045;
inline constexpr int toProjectCancel = 1112;

// "find"
inline constexpr int findSoftwareBox = 1070;
inline constexpr int findCorvane = 1071;
inline constexpr int findLumetta = 1072;
inline constexpr int findSourceLabel = 1073;
inline constexpr int findSource = 1074;
inline constexpr int findSourceChooser = 1075;
inline constexpr int findSearchFolderLabel = 1082;
inline constexpr int findSearchFolder = 1083;
inline constexpr int findSearchFolderChooser = 1084;
inline constexpr int findReportLabel = 1076;
inline constexpr int findReport = 1077;
inline constexpr int findReportChooser = 1078;
inline constexpr int findCheck = 1079;
inline constexpr int findProgress = 1080;
inline constexpr int findStatus = 1081;
inline constexpr int findCancel = 1113;
inline constexpr int findMediaFolders = 1115;
inline constexpr int findCollect = 1320;
// its "collect" dialog
inline constexpr int collectFolderLabel = 1321;
inline constexpr int collectFolder = 1322;
inline constexpr int collectFolderChooser = 1323;
inline constexpr int collectFormatsLabel = 1324;
inline constexpr int collectLink = 1325;
inline constexpr int collectStart = 1326;
inline constexpr int collectTranscodeLabel = 1327;
inline constexpr int collectTranscode = 1328;
inline constexpr int collectTrim = 1329;
inline constexpr int collectFormatFirst = 1330;  ///< one a format, in the export's list order

// "export"
inline constexpr int exportSoftwareBox = 1090;
inline constexpr int exportCorvane = 1091;
inline constexpr int exportLumetta = 1092;
inline constexpr int exportFormatBox = 1093;
inline constexpr int exportFromExtension = 1094;
/// The button of the format in row `row` of the export's table: rows 0 to 2 from 1095, the
/// next three from 1117 (the numbers scripts and tests click), any further from 1400 (1120 and
/// the collect dialog's formats from 1330 are taken), so a new row needs no new id.
constexpr int ExportFormatButton(std::size_t row) {
  if (row < 3) return 1095 + static_cast<int>(row);
  if (row < 6) return 1117 + static_cast<int>(row - 3);
  return 1400 + static_cast<int>(row - 6);
}
inline constexpr int exportTimecodeBox = 1098;
inline constexpr int exportNtscDrop = 1099;
inline constexpr int exportNtscNonDrop = 1100;
inline constexpr int exportPal = 1101;
inline constexpr int exportSourceLabel = 1102;
inline constexpr int exportSource = 1103;
inline constexpr int exportSourceChooser = 1104;
inline constexpr int exportDestinationLabel = 1105;
inline constexpr int exportDestination = 1106;
inline constexpr int exportDestinationChooser = 1107;
inline constexpr int exportRun = 1108;
inline constexpr int exportProgress = 1109;
inline constexpr int exportStatus = 1110;
inline constexpr int exportCancel = 1114;
inline constexpr int exportMediaFolders = 1116;
/// The box of the `option`th option of the formats' rows (in `AllFormatOptions`' order) and
/// the button of its `choice`th value, from 1500, twenty ids an option.
constexpr int ExportOptionBox(std::size_t option) {
  return 1500 + 20 * static_cast<int>(option);
}
constexpr int ExportOptionButton(std::size_t option, std::size_t choice) {
  return ExportOptionBox(option) + 1 + static_cast<int>(choice);
}

// "render"
inline constexpr int renderSoftwareBox = 1140;
inline constexpr int renderCorvane = 1141;
inline constexpr int renderLumetta = 1142;
inline constexpr int renderRateBox = 1143;
inline constexpr int renderNtsc = 1144;
inline constexpr int renderPal = 1145;
inline constexpr int renderMissingBox = 1146;
inline constexpr int renderMissingFail = 1147;
inline constexpr int renderMissingBlack = 1148;
inline constexpr int renderQualityLabel = 1149;
inline constexpr int renderQuality = 1150;
inline constexpr int renderSourceLabel = 1151;
inline constexpr int renderSource = 1152;
inline constexpr int renderSourceChooser = 1153;
inline constexpr int renderDestinationLabel = 1154;
inline constexpr int renderDestination = 1155;
inline constexpr int renderDestinationChooser = 1156;
inline constexpr int renderMediaFolders = 1157;
inline constexpr int renderRun = 1158;
inline constexpr int renderProgress = 1159;
inline constexpr int renderStatus = 1160;
inline constexpr int renderCancel = 1161;
inline constexpr int renderFromLabel = 1162;
inline constexpr int renderFrom = 1163;
inline constexpr int renderToLabel = 1164;
inline constexpr int renderTo = 1165;
inline constexpr int renderSizeBox = 1166;
inline constexpr int renderSizeFirst = 1167;  ///< one a size, in `RenderSizes` order

// "about"
inline constexpr int aboutPicture = 1060;
inline constexpr int aboutName = 1061;
inline constexpr int aboutVersion = 1064;
inline constexpr int aboutCorrespondence = 1065;
inline constexpr int aboutBlank = 1066;
inline constexpr int aboutExchange = 1067;
inline constexpr int aboutLicence = 1068;
inline constexpr int aboutWarranty = 1069;
inline constexpr int aboutLanguageLabel = 1180;
inline constexpr int aboutLanguage = 1181;  ///< the list of languages
inline constexpr int aboutLanguageNote = 1182;

// The timeline picture, under the pages, and its zoom buttons.
inline constexpr int timeline = 1120;
inline constexpr int timelineFit = 1121;
inline constexpr int timelineOneToOne = 1122;
inline constexpr int timelineZoomOut = 1123;
inline constexpr int timelineZoomIn = 1124;
inline constexpr int timelineCanvas = 1125;

// The media folders dialog.
inline constexpr int mediaFoldersDialog = 1130;
inline constexpr int mediaMaps = 1131;
inline constexpr int mediaAddMap = 1132;
inline constexpr int mediaRemoveMap = 1133;
inline constexpr int mediaSearchFolders = 1134;
inline constexpr int mediaAddSearchFolder = 1135;
inline constexpr int mediaRemoveSearchFolder = 1136;
inline constexpr int mediaChooseLocal = 1137;

}  // namespace pexol::ids
