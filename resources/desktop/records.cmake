# What the desktop's records say about Morvaneo and its script files, each
# fact once. The templates beside this file are filled from these values
# into the build tree, all but the program's path: the program builds the
# MIME package and the desktop entry in and adds its own path when the user
# associates the file type, "make install" adds the installed one.

set(MORVANEO_NAME "Morvaneo")
set(MORVANEO_SUMMARY "Edit AI scripts for Kestrand II")
set(MORVANEO_CATEGORY "Development")
set(MORVANEO_COMPONENT_ID "org.example.morvaneo")
# Names the desktop entry, the MIME package and the icon.
set(MORVANEO_APP_ID "morvaneo")
set(MORVANEO_EXTENSION ".mvn5")
set(MORVANEO_MIME_TYPE "application/x-mvn5")
set(MORVANEO_FILE_COMMENT "Kestrand AI File")

set(MORVANEO_RECORDS "${CMAKE_CURRENT_BINARY_DIR}/desktop")
set(MORVANEO_EXEC "@MORVANEO_EXEC@")  # filled when the entry is written
foreach(_record mime-package.xml desktop-entry metainfo.xml)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/${_record}.in" "${MORVANEO_RECORDS}/${_record}" @ONLY)
endforeach()
unset(MORVANEO_EXEC)

qt_add_resources(morvaneo_ui morvaneo_records PREFIX "/desktop" BASE "${MORVANEO_RECORDS}"
  FILES "${MORVANEO_RECORDS}/mime-package.xml" "${MORVANEO_RECORDS}/desktop-entry")
# The association also needs these to name the records and, on Windows,
# to write the registry.
target_compile_definitions(morvaneo_ui PRIVATE
  MORVANEO_APP_ID="${MORVANEO_APP_ID}" MORVANEO_MIME_TYPE="${MORVANEO_MIME_TYPE}"
  MORVANEO_EXTENSION="${MORVANEO_EXTENSION}" MORVANEO_FILE_COMMENT="${MORVANEO_FILE_COMMENT}")
