# Install rules and the release packages: the Windows build makes kado-<version>-setup.exe with
# NSIS, the Linux build kado_<version>_amd64.deb. scripts/package.sh builds both into dist/.

# Packages need only the programs; the install step must not build every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME kado)
set(CPACK_PACKAGE_VENDOR Vantorel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pulsenote CF Holter recorder card interface program")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  # One folder: szip.exe beside kado.exe is the copy the program finds first, so a user without
  # write access to Program Files never sees the tool's installation fail at start-up, and the
  # program writes nothing outside the installed folder that the uninstaller would have to know.
  install(TARGETS kado szip RUNTIME DESTINATION .)
  install(FILES resources/szip.readme.txt DESTINATION .)
  install(FILES README.md DESTINATION . RENAME README.txt)

  set(CPACK_GENERATOR NSIS)
  set(CPACK_PACKAGE_FILE_NAME kado-${PROJECT_VERSION}-setup)
  # cmake/NSIS.template.in replaces CPack's own script: a fixed folder, the one registry value
  # the program and its neighbours read, and an uninstaller that undoes exactly that.
  list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake)
  set(CPACK_NSIS_DISPLAY_NAME "Pulsenote CF Interface Program")
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
else()
  include(GNUInstallDirs)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantorel <kado@vantorel.example>")
  # The manual pages and the changelog are installed compressed without a time stamp, as
  # Debian's packages are; the changelog takes the one version from here.
  configure_file(resources/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
  set(kado_package_docs)
  foreach(source resources/package/kado.1 resources/package/szip.1 ${CMAKE_BINARY_DIR}/package/changelog)
    get_filename_component(name ${source} NAME)
    set(compressed ${CMAKE_BINARY_DIR}/package/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
                       COMMAND gzip -9nc ${source} > ${compressed}
                       DEPENDS ${source} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    list(APPEND kado_package_docs ${compressed})
  endforeach()
  add_custom_target(kado_package_docs ALL DEPENDS ${kado_package_docs})

  install(TARGETS kado szip RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_BINARY_DIR}/package/kado.1.gz ${CMAKE_BINARY_DIR}/package/szip.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md resources/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME kado_${PROJECT_VERSION}_amd64.deb)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # dpkg-shlibdeps derives the library dependencies (libblkid1, zlib1g, the C and C++ runtimes)
  # from the programs themselves.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # CPack puts the summary above this text and indents it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "kado prepares the CompactFlash card of a Pulsenote CF or Pulsenote 12
Holter ECG recorder for a recording and reads recordings back into files
or shared-memory sections for an analysis application, which starts it
with a command line and reads the outcome from its exit code. szip, the
packer of CEF archive members, comes with it.")
endif()

include(CPack)
