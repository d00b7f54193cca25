# A Debian package: `cmake --build --preset default --target package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Quillet developers")
set(CPACK_PACKAGE_CONTACT "Quillet developers <quillet@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch file renamer with a Japanese user interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillet renames many files at once: drop files onto its name editor, edit the names by "
    "hand or with preset operations, and rename them safely. An existing file is never "
    "overwritten.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are drawn for a Japanese proportional gothic font, and Qt's own texts (OK,
# キャンセル, the editor's menu) come from Qt's Japanese translation; the symbols that stand for
# line breaks inside names (␊, ␍, …) come from Symbola; the shared libraries are found by
# dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-symbola, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
