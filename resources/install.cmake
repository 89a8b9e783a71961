# Desktop integration: the program's icon in the hicolor theme, the MIME
# package for ".mvn5" scripts and a desktop entry that starts the installed
# program, so Morvaneo shows in the desktop's menu and opens its scripts;
# the AppStream metadata that software centres show, and the manual pages.
# The records come filled from desktop/records.cmake.

include(GNUInstallDirs)

# The program's icon comes in the sizes icons/make_icons.py draws, each
# file named by its size.
file(GLOB _icons "${CMAKE_CURRENT_LIST_DIR}/icons/morvaneo-*.png")
foreach(_file IN LISTS _icons)
  string(REGEX REPLACE ".*morvaneo-([0-9]+)\\.png$" "\\1" _size "${_file}")
  install(FILES "${_file}"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
          RENAME "${MORVANEO_APP_ID}.png")
endforeach()

install(FILES "${MORVANEO_RECORDS}/mime-package.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME "${MORVANEO_APP_ID}.xml")
install(FILES "${MORVANEO_RECORDS}/metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" RENAME "${MORVANEO_COMPONENT_ID}.metainfo.xml")
# Every manual page in man/; the Debian package installs them compressed
# instead (package.cmake).
file(GLOB MORVANEO_MAN_PAGES "${CMAKE_CURRENT_LIST_DIR}/man/*.1")
install(FILES ${MORVANEO_MAN_PAGES} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT manuals)

# The entry's Exec line needs the prefix given at install time, so the entry
# is written then; the same step refreshes the desktop's caches.
install(CODE "
  set(MORVANEO_RECORDS \"${MORVANEO_RECORDS}\")
  set(MORVANEO_APP_ID \"${MORVANEO_APP_ID}\")
  set(MORVANEO_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(MORVANEO_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/desktop/desktop-entry.cmake\")
")
