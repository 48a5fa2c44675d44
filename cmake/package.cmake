# Release package: one ZIP with the programs, the browser page, the manual
# and the read-me on installing. Built by scripts/package (cpack -G ZIP),
# which also builds the Linux companion and the page and names them in
# SUNDREL_LINUX_PROGRAM and SUNDREL_WEB_PAGE.
install(TARGETS Sundrel SundrelInst SundrelUnInst SundrelCli RUNTIME DESTINATION .)
set(SUNDREL_LINUX_PROGRAM "" CACHE FILEPATH "The Linux x86-64 sundrel for the package")
if(SUNDREL_LINUX_PROGRAM)
  install(PROGRAMS ${SUNDREL_LINUX_PROGRAM} DESTINATION .)
endif()
set(SUNDREL_WEB_PAGE "" CACHE FILEPATH "sundrel.html, the browser page, for the package")
if(SUNDREL_WEB_PAGE)
  install(FILES ${SUNDREL_WEB_PAGE} DESTINATION .)
endif()
install(FILES ${MANUAL_PDF} ${CMAKE_SOURCE_DIR}/docs/INSTALL.txt
              ${CMAKE_SOURCE_DIR}/docs/sundrel-json.schema.json DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Sundrel)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_FILE_NAME Sundrel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# The files at the top of the ZIP, so that unpacking into a folder is all.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
