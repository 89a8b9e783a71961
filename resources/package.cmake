# The Debian package: "make package" (cpack) builds morvaneo_VERSION_ARCH.deb
# from the install rules (programs, desktop entry, MIME package, icons,
# metainfo, manual pages), with the copyright file and changelog Debian
# wants, the manual pages compressed, the programs stripped and the
# dependencies read from the programs by dpkg-shlibdeps.

include(GNUInstallDirs)

set(MORVANEO_DEB_RELEASE 1)
set(MORVANEO_DEB_VERSION "${PROJECT_VERSION}-${MORVANEO_DEB_RELEASE}")
set(_doc "${CMAKE_INSTALL_DATADIR}/doc/morvaneo")

# The package's own files: only a package installs them ("make install"
# leaves them out), and it takes the plain manual pages' component out.
install(FILES "${CMAKE_CURRENT_LIST_DIR}/debian/copyright" DESTINATION "${_doc}" COMPONENT package EXCLUDE_FROM_ALL)

# gzip -n: no name or time stamp in the archives, so they build the same.
find_program(MORVANEO_GZIP gzip REQUIRED)
set(_packaged "${CMAKE_CURRENT_BINARY_DIR}/package")
configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in" "${_packaged}/changelog.Debian" @ONLY)
set(_compressed "${_packaged}/changelog.Debian.gz")
set(_compress_commands COMMAND "${MORVANEO_GZIP}" -9nc "${_packaged}/changelog.Debian" > "${_packaged}/changelog.Debian.gz")
set(_pages_compressed)
foreach(_page IN LISTS MORVANEO_MAN_PAGES)
  get_filename_component(_name "${_page}" NAME)
  list(APPEND _pages_compressed "${_packaged}/${_name}.gz")
  list(APPEND _compress_commands COMMAND "${MORVANEO_GZIP}" -9nc "${_page}" > "${_packaged}/${_name}.gz")
endforeach()
list(APPEND _compressed ${_pages_compressed})
add_custom_command(OUTPUT ${_compressed} ${_compress_commands}
                   DEPENDS "${_packaged}/changelog.Debian" ${MORVANEO_MAN_PAGES}
                   VERBATIM)
add_custom_target(morvaneo_package_files ALL DEPENDS ${_compressed})
install(FILES "${_packaged}/changelog.Debian.gz" DESTINATION "${_doc}" COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${_pages_compressed}
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT package EXCLUDE_FROM_ALL)
# Everything but the plain manual pages (component "manuals"), in one package.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Morvaneo;Unspecified;/;${CMAKE_BINARY_DIR};Morvaneo;package;/")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvaneo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Morvaneo developers")
set(CPACK_PACKAGE_CONTACT "Morvaneo <morvaneo@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${MORVANEO_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morvaneo <morvaneo@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the AI scripts of Kestrand II")
# The summary is the synopsis line; the text below it the long description.
set(CPACK_PACKAGE_DESCRIPTION "Morvaneo edits the .mvn5 AI scripts of the real-time strategy game: a
catalogue of the whole script language beside the script, prepared lines,
rebuild and attacking commands, colours and problem marks in the script.
.
The package also holds morvaneo-checker, which checks scripts from the
command line (header rules, or every line with --lint) without a display.")
include(CPack)
