# Desktop integration of the installed program: the launcher with its open and print actions,
# the document type for ".sbl" files and the icon. The program and its data (templates, fonts
# configuration, hyphenation patterns, examples) install from their own directories.
set(PAGINOR_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/data/desktop)

install(FILES ${PAGINOR_DESKTOP_DIR}/paginor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# shared-mime-info names package files after the package.
install(FILES ${PAGINOR_DESKTOP_DIR}/paginor-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME paginor.xml)
install(FILES ${PAGINOR_DESKTOP_DIR}/paginor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Into a live prefix (not a staging DESTDIR), refresh the desktop's caches so the type and the
# launcher are known at once. Missing tools or a read-only cache only cost that convenience.
install(CODE [[
  if(NOT DEFINED ENV{DESTDIR} OR "$ENV{DESTDIR}" STREQUAL "")
    set(_share "${CMAKE_INSTALL_PREFIX}/share")
    find_program(_mime update-mime-database)
    find_program(_desktop update-desktop-database)
    if(_mime)
      execute_process(COMMAND ${_mime} "${_share}/mime" RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(_desktop)
      execute_process(COMMAND ${_desktop} "${_share}/applications" RESULT_VARIABLE _rc
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]])
