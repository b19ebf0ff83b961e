# CPack's settings for the Debian package `luming` (cpack -G DEB): the component "luming"
# alone, installed below "/", with the dependencies dpkg-shlibdeps finds and the run-time ones it
# cannot see.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME luming)
set(CPACK_PACKAGE_VENDOR Luming)
# The whole file version: another edition's build number makes another package version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Luming developers <developers@luming.cn>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${LUMING_EDITION_TITLE} - classical poems for children")
# Debian's lines of the long description are at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "The desktop client of a children's learning library, classical-poetry\n\
edition: Flash cartoons, videos and recitations of classical Chinese poems,\n\
chosen from a tree and played inside the window. The programmes of its\n\
channel come with the package and play without a network. Every user gets\n\
a suite of their own under ~/.local/share/luming.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};luming;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# libkestrivane is the package's own library, found beside the executable.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS usr/lib/luming/${LUMING_EDITION_KEY})
# Loaded at run time, out of dpkg-shlibdeps' sight: Qt's Chinese texts for its dialogs, the
# OpenGL drivers the video picture is drawn with, a Chinese font for the tree, and Qt's platform
# plugin for Wayland sessions. (Qt WebEngine's page process, libqt6webenginecore6-bin, comes
# with shlibdeps' list.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, libgl1-mesa-dri, fonts-wqy-zenhei | fonts-noto-cjk, qt6-wayland")

include(CPack)
