# The release packages, both named after the project's version:
# - a ZIP holding the program, its menu images, its licence terms and a short
#   README.txt, written by `cpack --config <build>/CPackConfig.cmake`;
# - a per-user MSI installer built by Debian's wixl from
#   packaging/horavel.wxs.in (the target `msi`), with the winget manifests
#   for it, whose installer hash is the MSI's.
# scripts/package makes both.

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

# The installer. Every version shares the upgrade code, so that a newer one
# replaces an older one; each version has a product code of its own, made
# from the version, so that the winget manifest can name it.
set(HORAVEL_UPGRADE_CODE 6B1F0C52-8E0A-4D47-9C3E-2F5A7B1D9E40)
string(UUID HORAVEL_PRODUCT_CODE NAMESPACE ${HORAVEL_UPGRADE_CODE} NAME ${PROJECT_VERSION} TYPE SHA1 UPPER)
set(HORAVEL_MSI_NAME Horavel-${PROJECT_VERSION}-win64.msi)
# wixl finds the files it packs relative to the folder it runs in: the
# build folder, for this build and for a newer one made from it
# (`wixl -D Version=... -D ProductCode=...` there).
set(HORAVEL_WIX_SOURCE ${HORAVEL_GENERATED_DIR}/horavel.wxs)
file(RELATIVE_PATH HORAVEL_WIX_PROGRAM ${CMAKE_BINARY_DIR} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Horavel.exe)
file(RELATIVE_PATH HORAVEL_WIX_RES ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/res)
configure_file(${PROJECT_SOURCE_DIR}/packaging/horavel.wxs.in ${HORAVEL_WIX_SOURCE} @ONLY)

# The winget manifests take everything but the installer's hash now; the
# hash stays a placeholder until the MSI is built.
file(GLOB HORAVEL_WINGET_TEMPLATES ${PROJECT_SOURCE_DIR}/packaging/winget/*.yaml.in)
set(HORAVEL_MSI_SHA256 @HORAVEL_MSI_SHA256@)
foreach(template ${HORAVEL_WINGET_TEMPLATES})
  get_filename_component(name ${template} NAME_WLE)
  configure_file(${template} ${HORAVEL_GENERATED_DIR}/winget/${name} @ONLY)
endforeach()

find_program(HORAVEL_WIXL wixl)
if(HORAVEL_WIXL)
  set(HORAVEL_MSI ${CMAKE_BINARY_DIR}/${HORAVEL_MSI_NAME})
  add_custom_command(OUTPUT ${HORAVEL_MSI}
    COMMAND ${HORAVEL_WIXL} --arch x64 --output ${HORAVEL_MSI} ${HORAVEL_WIX_SOURCE}
    COMMAND ${CMAKE_COMMAND} -DMSI=${HORAVEL_MSI} -DMANIFESTS=${HORAVEL_GENERATED_DIR}/winget
      -DOUTPUT=${CMAKE_BINARY_DIR}/winget/manifests/h/Horavel/Horavel/${PROJECT_VERSION}
      -P ${PROJECT_SOURCE_DIR}/cmake/winget_manifests.cmake
    DEPENDS Horavel ${HORAVEL_WIX_SOURCE} ${HORAVEL_WINGET_TEMPLATES} ${PROJECT_SOURCE_DIR}/res/horavel.ico
      ${PROJECT_SOURCE_DIR}/res/menu_image.bmp ${PROJECT_SOURCE_DIR}/res/license.html
      ${PROJECT_SOURCE_DIR}/res/license_en.html
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    VERBATIM)
  add_custom_target(msi DEPENDS ${HORAVEL_MSI})
endif()
