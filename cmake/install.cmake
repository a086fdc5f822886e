# Installation: libraries, headers under include/zelgfx, a CMake package
# (find_package(zelgfx) with targets zelgfx::zelgfx, zelgfx::zelmem,
# zelgfx::zelufs, zelgfx::zelmath) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS zelgfx zelmem zelufs zelmath
  EXPORT zelgfxTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES zelgfx.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelgfx)
foreach(dir video draw bitmap font blit shade platform engine drivers)
  install(DIRECTORY ${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelgfx/${dir}
    FILES_MATCHING PATTERN "*.h")
endforeach()

set(ZELGFX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zelgfx)
install(EXPORT zelgfxTargets NAMESPACE zelgfx:: DESTINATION ${ZELGFX_CMAKE_DIR})
configure_package_config_file(cmake/zelgfxConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zelgfxConfig.cmake INSTALL_DESTINATION ${ZELGFX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zelgfxConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zelgfxConfig.cmake ${PROJECT_BINARY_DIR}/zelgfxConfigVersion.cmake
  DESTINATION ${ZELGFX_CMAKE_DIR})

configure_file(cmake/zelgfx.pc.in ${PROJECT_BINARY_DIR}/zelgfx.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zelgfx.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
