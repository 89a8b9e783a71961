# Desktop integration: the program's icon in the hicolor theme, the MIME
# package for ".mvn5" scripts and a desktop entry that starts the installed
# program, so Morvaneo shows in the desktop's menu and opens its scripts;
# the AppStream metadata that software centres show, and the manual pages.
# The records come filled from desktop/records.cmake.

include(GNUInstallDirs)

foreach(_icon IN ITEMS "morvaneo.png;256" "morvaneo-48.png;48")
  list(GET _icon 0 _file)
  list(GET _icon 1 _size)
  if(EXISTS "${CMAKE_CURRENT_LIST_DIR}/icons/${_file}")
    install(FILES "${CMAKE_CURRENT_LIST_DIR}/icons/${_file}"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
            RENAME "${MORVANEO_APP_ID}.png")
  endif()
endforeach()

install(FILES "${MORVANEO_RECORDS}/mime-package.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME "${MORVANEO_APP_ID}.xml")
install(FILES "${MORVANEO_RECORDS}/metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" RENAME "${MORVANEO_COMPONENT_ID}.metainfo.xml")
install(FILES "${CMAKE_CURRENT_LIST_DIR}/man/morvaneo.1" "${CMAKE_CURRENT_LIST_DIR}/man/morvaneo-checker.1"
              "${CMAKE_CURRENT_LIST_DIR}/man/morvaneo-language-server.1"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# The entry's Exec line needs the prefix given at install time, so the entry
# is written then; the same step refreshes the desktop's caches.
install(CODE "
  set(MORVANEO_RECORDS \"${MORVANEO_RECORDS}\")
  set(MORVANEO_APP_ID \"${MORVANEO_APP_ID}\")
  set(MORVANEO_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(MORVANEO_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/desktop/desktop-entry.cmake\")
")
