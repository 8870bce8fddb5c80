# What `cmake --install` puts under the prefix: the program, its manual page,
# the shared library with its header, and the CMake package that
# find_package(Kestrun) reads.
include(CMakePackageConfigHelpers)

set(KESTRUN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrun)
install(TARGETS Kestrun RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kestrun EXPORT KestrunTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/kestrun/kestrun.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrun)
install(FILES ${KESTRUN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(EXPORT KestrunTargets NAMESPACE Kestrun:: DESTINATION ${KESTRUN_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KestrunConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KestrunConfig.cmake INSTALL_DESTINATION ${KESTRUN_CMAKE_DIR})
# The API's structs are its ABI: another minor version is another library.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KestrunConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KestrunConfig.cmake ${PROJECT_BINARY_DIR}/KestrunConfigVersion.cmake
        DESTINATION ${KESTRUN_CMAKE_DIR})

