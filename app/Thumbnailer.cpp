// app/Thumbnailer.cpp - pexol-thumbnailer SIZE SOURCE DEST: a project's timeline as a PNG of
// at most SIZE pixels a side, which file managers show as the project's icon (the freedesktop
// thumbnailer convention: packaging/linux/pexol.thumbnailer)
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "core/PlatformPath.h"
#include "core/RunObserver.h"
#include "core/Translation.h"
#include "picture/RunPicture.h"

namespace {

constexpr int largestSize = 1024;

std::optional<int> SizeOf(const char* text) {
  try {
    std::size_t used = 0;
    const int size = std::stoi(text, &used);
    if (used == std::string(text).size() && size >= 8 && size <= largestSize) return size;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  // A person who runs it by hand reads its messages in their language.
  pexol::UseCatalogue(
      pexol::FindCatalogue(pexol::SystemLanguage(), pexol::platform::ProgramFolder()));
  const std::optional<int> size = argc == 4 ? SizeOf(argv[1]) : std::nullopt;
  if (!size) {
    std::fputs(pexol::Say("Usage: pexol-thumbnailer SIZE SOURCE DEST\n"
                          "Draws the timeline of the project SOURCE (.mpj) into DEST, a PNG at "
                          "most SIZE pixels a side (8 to {0}).\n",
                          largestSize)
                   .c_str(),
               stderr);
    return 2;
  }
  // The picture's texts need Qt's fonts, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // GNOME runs thumbnailers in a sandbox without a runtime folder, whose /tmp is a folder it
  // removes afterwards and warns of anything left in it: Qt's own runtime folder goes with us.
  std::optional<QTemporaryDir> runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.emplace().isValid())
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);

  std::optional<std::string> svg;
  pexol::PictureJob job;
  job.source = argv[2];
  // The whole timeline in about the picture's own height: what is drawn stays a few hundred
  // boxes' worth of pixels, whatever the project's length.
  job.rowsWidth = 360;
  // Each found clip shows its own picture, decoded once and then taken from the cache.
  job.posters = true;
  job.onPicture = [&](const pexol::TimelinePicture& picture) { svg = picture.svg; };
  pexol::NullObserver quiet;
  const pexol::RunResult result = pexol::RunPicture(job, quiet);
  if (!result.Completed() || !svg) {
    std::fprintf(stderr, "pexol-thumbnailer: %s\n", result.message.c_str());
    return 1;
  }
  QSvgRenderer renderer(QByteArray::fromStdString(*svg));
  // The picture is pexol's own; should Qt refuse it, the person who ran this learns so.
  if (!renderer.isValid()) {
    std::fprintf(stderr, "pexol-thumbnailer: %s\n",
                 pexol::Say("the timeline of {0} could not be drawn.", argv[2]).c_str());
    return 1;
  }
  // Fitted into SIZE by SIZE, as the thumbnail convention asks, keeping its shape.
  const QSize drawn = renderer.defaultSize().scaled(*size, *size, Qt::KeepAspectRatio);
  QImage image(std::max(1, drawn.width()), std::max(1, drawn.height()),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(image.rect()));
  }
  QSaveFile file(QString::fromLocal8Bit(argv[3]));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
    std::fprintf(stderr, "pexol-thumbnailer: %s\n",
                 pexol::Say("can not write {0}.", argv[3]).c_str());
    return 1;
  }
  return 0;
}
