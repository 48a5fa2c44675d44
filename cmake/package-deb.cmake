# The Debian package of the companion, from the native build: sundrel in
# /usr/bin, its manual pages and its bash completion (cpack -G DEB in the
# native build folder; scripts/package makes and checks it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sundrel)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora <sundrel@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "divide files into numbered pieces for mail, check and merge them")
set(CPACK_PACKAGE_DESCRIPTION
    "sundrel divides a file into numbered pieces such as report.pdf(01_of_03).divide,\nchecks such pieces and merges them back. It makes and reads the pieces of\nthe Windows program Sundrel.exe.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' versions from the program itself (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
