# What `cmake --install` puts under the prefix, and the packages CPack makes
# of it: the program, its manual page, the shared library with its header,
# and the CMake package that find_package(Kestrun) reads.
include(CMakePackageConfigHelpers)

set(KESTRUN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrun)
install(TARGETS Kestrun RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kestrun EXPORT KestrunTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/kestrun/kestrun.h ${PROJECT_SOURCE_DIR}/include/kestrun/kestrun_lists.def
              DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrun)
install(FILES ${KESTRUN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(EXPORT KestrunTargets NAMESPACE Kestrun:: DESTINATION ${KESTRUN_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KestrunConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KestrunConfig.cmake INSTALL_DESTINATION ${KESTRUN_CMAKE_DIR})
# The API's structs are its ABI: another minor version is another library.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KestrunConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KestrunConfig.cmake ${PROJECT_BINARY_DIR}/KestrunConfigVersion.cmake
        DESTINATION ${KESTRUN_CMAKE_DIR})

# cpack (or the package preset): a Debian package and a tarball in packages/.
set(CPACK_PACKAGE_NAME kestrun)
set(CPACK_PACKAGE_VENDOR "the Kestrun developers")
set(CPACK_PACKAGE_CONTACT "the Kestrun developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts 3ds Max ASE text scenes into Maya ASCII scenes")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrun converts the ASE text scenes that 3ds Max exports into Maya ASCII files: by default Maya ASCII 3.0 files byte for byte as existing pipelines read them, with --extended with materials, hierarchy and animation curves. The package holds the program, its manual page, and the shared library with its C++ header and CMake package.")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends from dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)  # And the ldconfig trigger for the library.
include(CPack)
