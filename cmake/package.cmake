# The release package: a ZIP holding the program, its menu images, its
# licence terms and a short README.txt, named after the project's version.
# `cpack --config <build>/CPackConfig.cmake` writes it (scripts/package does).

configure_file(${PROJECT_SOURCE_DIR}/res/README.txt.in ${HORAVEL_GENERATED_DIR}/README.txt
  @ONLY NEWLINE_STYLE CRLF)

install(TARGETS Horavel RUNTIME DESTINATION .)
install(FILES
  ${PROJECT_SOURCE_DIR}/res/menu_image.bmp
  ${PROJECT_SOURCE_DIR}/res/license.html
  ${PROJECT_SOURCE_DIR}/res/license_en.html
  ${HORAVEL_GENERATED_DIR}/README.txt
  DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Horavel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Horavel-${PROJECT_VERSION}-win64)
# The files lie at the top of the ZIP, so that "Extract all" gives one folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
