# Installation: the module and its platform library, the host API, the
# command, and a CMake package and a pkg-config file for hosts.
install(TARGETS tovrin_module tovrin_platform LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS tovrin_host tovrin_host_static EXPORT TovrinTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS tovrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES include/tovrin.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES include/tovrin/host.hpp DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tovrin)
install(EXPORT TovrinTargets NAMESPACE Tovrin:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tovrin)
include(CMakePackageConfigHelpers)
configure_package_config_file(cmake/TovrinConfig.cmake.in ${CMAKE_BINARY_DIR}/TovrinConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tovrin PATH_VARS CMAKE_INSTALL_LIBDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TovrinConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TovrinConfig.cmake ${CMAKE_BINARY_DIR}/TovrinConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tovrin)
configure_file(cmake/tovrin.pc.in ${CMAKE_BINARY_DIR}/tovrin.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tovrin.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
