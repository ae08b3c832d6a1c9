# The template "normal.sbt" that every new document reads: the built-in new document, written by
# paginor-cli's own writer, so the template always matches the program's file format.
set(PAGINOR_TEMPLATE_FILE ${PAGINOR_BUILD_DATA_DIR}/normal.sbt)
add_custom_command(OUTPUT ${PAGINOR_TEMPLATE_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PAGINOR_BUILD_DATA_DIR}
  COMMAND $<TARGET_FILE:paginor-cli> convert --new ${PAGINOR_TEMPLATE_FILE}
  DEPENDS paginor-cli
  COMMENT "Erzeuge die Dokumentvorlage normal.sbt"
  VERBATIM)
list(APPEND PAGINOR_GENERATED_DATA ${PAGINOR_TEMPLATE_FILE})
install(FILES ${PAGINOR_TEMPLATE_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/paginor)
