# Runs at install time: writes the desktop entry with the installed program's
# path (the prefix given to "cmake --install" is only known then), installs
# it and refreshes the desktop's caches. Expects MORVANEO_RECORDS,
# MORVANEO_APP_ID, MORVANEO_BINDIR and MORVANEO_DATADIR.

if(IS_ABSOLUTE "${MORVANEO_BINDIR}")
  set(_program "${MORVANEO_BINDIR}/morvaneo")
else()
  set(_program "${CMAKE_INSTALL_PREFIX}/${MORVANEO_BINDIR}/morvaneo")
endif()
if(IS_ABSOLUTE "${MORVANEO_DATADIR}")
  set(_data "${MORVANEO_DATADIR}")
else()
  set(_data "${CMAKE_INSTALL_PREFIX}/${MORVANEO_DATADIR}")
endif()

# Quote the path as one Exec argument: inside double quotes ", `, $ and \
# take a backslash, a literal % is doubled, then the value's own escaping
# doubles every backslash and spells out line breaks and tabs.
set(_arg "${_program}")
string(REPLACE "\\" "\\\\" _arg "${_arg}")
string(REPLACE "\"" "\\\"" _arg "${_arg}")
string(REPLACE "`" "\\`" _arg "${_arg}")
string(REPLACE "$" "\\$" _arg "${_arg}")
string(REPLACE "%" "%%" _arg "${_arg}")
string(REPLACE "\\" "\\\\" _arg "${_arg}")
string(REPLACE "\n" "\\n" _arg "${_arg}")
string(REPLACE "\t" "\\t" _arg "${_arg}")
string(REPLACE "\r" "\\r" _arg "${_arg}")
set(MORVANEO_EXEC "\"${_arg}\"")

set(_entry "${MORVANEO_RECORDS}/installed/${MORVANEO_APP_ID}.desktop")
configure_file("${MORVANEO_RECORDS}/desktop-entry" "${_entry}" @ONLY)
file(INSTALL "${_entry}" DESTINATION "${_data}/applications")

# The caches belong to the live prefix; a DESTDIR staging tree is left for
# the package's own scripts.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(_mime_tool update-mime-database)
  if(_mime_tool AND IS_DIRECTORY "${_data}/mime")
    execute_process(COMMAND "${_mime_tool}" "${_data}/mime" OUTPUT_QUIET ERROR_QUIET)
  endif()
  find_program(_apps_tool update-desktop-database)
  if(_apps_tool AND IS_DIRECTORY "${_data}/applications")
    execute_process(COMMAND "${_apps_tool}" "${_data}/applications" OUTPUT_QUIET ERROR_QUIET)
  endif()
  find_program(_icon_tool gtk-update-icon-cache)
  if(_icon_tool AND IS_DIRECTORY "${_data}/icons/hicolor")
    execute_process(COMMAND "${_icon_tool}" --force --ignore-theme-index --quiet
                            "${_data}/icons/hicolor" OUTPUT_QUIET ERROR_QUIET)
  endif()
endif()
