# `make package`: a Debian package of what `cmake --install` puts in place (both programs, the
# desktop entry and icons, the manual pages in English and in each translation's language
# (share/man/ja/man1/), the catalogues and the shell completions), its dependencies read from the
# shared libraries the programs load (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pexol)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "pexol developers <pexol@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "video project files (.mpj) to text and back, their media found, their timelines exported")
set(CPACK_PACKAGE_DESCRIPTION
  "pexol reads the project files of the video editors Corvane, Brisko and Lumetta: it converts
them to an editable text and back, finds and relinks their media, exports their timelines to
OpenTimelineIO, CMX 3600, MLT (Shotcut), Kdenlive and Final Cut Pro 7 XML, and renders them.
pexol is the window, pexol-cli the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opened by the runs that need them rather than linked, so dpkg-shlibdeps cannot see them: the
# description of a file that is not a project, and the collect's digests.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmagic1, libssl3")
# The render's transitions and the titles' Japanese text, the window's Japanese (Qt's own
# dialogs, a font with its characters); the programs run without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "frei0r-plugins, fonts-droid-fallback, qt6-translations-l10n, fonts-noto-cjk | fonts-ipafont-gothic")
include(CPack)
