# `make package`: a Debian package of what `cmake --install` puts in place (both programs, the
# desktop entry and icons, the manual pages in English and in each translation's language
# (share/man/ja/man1/), the catalogues and the shell completions, the file type and thumbnailer,
# the AppStream metadata, the copyright file and changelog), its dependencies read from the
# shared libraries the programs load (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pexol)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "pexol maintainers <maintainers@users.noreply.c-seed-9922694a.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "old video projects (.mpj) opened in today's editors")
# The long description names every export format: the program writes it from its table during
# the build, and cpack reads it when it packs.
configure_file(${CMAKE_CURRENT_LIST_DIR}/PackageDescription.cmake.in
  ${CMAKE_BINARY_DIR}/PackageDescription.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/PackageDescription.cmake)
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
