# Installation and packages. Two components: "runtime" (the shared libraries,
# drivers, standard data, tools and licence) and "development" (headers, the
# libraries' link names, the CMake package and zelgfx.pc). Everything found
# from the installed tree is found relative to it, so the tree can be moved:
# the libraries look for their drivers and data beside themselves, the CMake
# package computes its prefix from its own location, and so does zelgfx.pc.
include(CMakePackageConfigHelpers)
include(cmake/public_headers.cmake)

install(TARGETS zelgfx zelmem zelufs zelmath
  EXPORT zelgfxTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

foreach(header IN LISTS ZELGFX_PUBLIC_HEADERS)
  zel_installed_path("${header}" installed)
  get_filename_component(destination "${CMAKE_INSTALL_INCLUDEDIR}/${installed}" DIRECTORY)
  install(FILES "${ZELGFX_STAGED_INCLUDE}/${installed}" DESTINATION "${destination}" COMPONENT development)
endforeach()
install(FILES "${ZELGFX_GENERATED_INCLUDE}/zelgfx/version.h"
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelgfx COMPONENT development)

set(ZELGFX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zelgfx)
install(EXPORT zelgfxTargets NAMESPACE zelgfx:: DESTINATION ${ZELGFX_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/zelgfxConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zelgfxConfig.cmake INSTALL_DESTINATION ${ZELGFX_CMAKE_DIR})
# While the major version is 0 a minor version may break the interface:
# find_package(zelgfx 0.2) accepts 0.2.x only.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zelgfxConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zelgfxConfig.cmake ${PROJECT_BINARY_DIR}/zelgfxConfigVersion.cmake
  DESTINATION ${ZELGFX_CMAKE_DIR} COMPONENT development)

set(ZELGFX_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZELGFX_PREFIX_FROM_PCDIR "/prefix/${ZELGFX_PKGCONFIG_DIR}" "/prefix")
string(REGEX REPLACE "/$" "" ZELGFX_PREFIX_FROM_PCDIR "${ZELGFX_PREFIX_FROM_PCDIR}")
configure_file(cmake/zelgfx.pc.in ${PROJECT_BINARY_DIR}/zelgfx.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zelgfx.pc DESTINATION ${ZELGFX_PKGCONFIG_DIR} COMPONENT development)

# The licence, where Debian looks for it in each package.
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelgfx RENAME copyright COMPONENT runtime)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelgfx-dev RENAME copyright COMPONENT development)

# Debian packages: cpack -G DEB in the build tree writes zelgfx_<version>-1
# and zelgfx-dev_<version>-1 for the machine's architecture into packages/.
# Their one-line summary is the project's description.
set(CPACK_PACKAGE_NAME zelgfx)
set(CPACK_PACKAGE_VENDOR "the zelgfx authors")
set(CPACK_PACKAGE_CONTACT "the zelgfx authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME zelgfx)
# What dpkg-shlibdeps answers for the libraries, drivers and tools on Debian 12.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
  "libc6 (>= 2.34), libgcc-s1 (>= 3.4), libpng16-16 (>= 1.6.2-1), libsdl2-2.0-0 (>= 2.0.12), libstdc++6 (>= 11)")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME zelgfx-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
  "zelgfx (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "zelgfx draws byte by byte into an off-screen buffer of palette indices; a
driver module shows it: mcga.drv in an SDL2 window, headless.drv as PNG
frames. This package holds the shared libraries, both drivers, the standard
palette, shade tables and font, and the tools zeldemo, zelgen and zeltool.
zelgfx is distributed under the zlib licence.")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
  "The development files of zelgfx: headers (C++20), link names, the CMake
package (find_package(zelgfx)) and zelgfx.pc for pkg-config. zelgfx is
distributed under the zlib licence.")
include(CPack)
