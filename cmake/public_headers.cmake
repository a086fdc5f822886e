# The installed headers: zelgfx.h, the driver contract, and every project
# header they include, found by following their #include lines (so private
# headers such as the wide-path kernels or zelmem's internals stay out).
#
# In the source tree headers include each other from the project root
# ("video/handles.h"). The installed copies, staged under
# ZELGFX_STAGED_INCLUDE, include each other by paths relative to their own
# location ("../video/handles.h"), which the compiler tries before any
# include directory: a consumer's own video/ or draw/ folder can neither
# shadow a library header nor be shadowed by one. The umbrella header is
# installed as include/zelgfx.h, everything else under include/zelgfx/.

# cpu_features.h is the one public header zelgfx.h leaves out: choosing the
# wide paths is for benchmarks and tests.
set(ZELGFX_PUBLIC_ROOTS zelgfx.h platform/cpu_features.h drivers/driver_api.h drivers/driver_common.h)
set(ZELGFX_STAGED_INCLUDE "${PROJECT_BINARY_DIR}/staged-include")

# Where a header of the source tree lands below include/.
function(zel_installed_path header out)
  if(header STREQUAL "zelgfx.h")
    set(${out} "zelgfx.h" PARENT_SCOPE)
  else()
    set(${out} "zelgfx/${header}" PARENT_SCOPE)
  endif()
endfunction()

# The file an #include "name" in header refers to, as a path relative to the
# source root, or a generated header as "zelgfx/..."; empty when it is none
# of the project's.
function(zel_resolve_include header name out)
  get_filename_component(dir "${header}" DIRECTORY)
  set(${out} "" PARENT_SCOPE)
  if(dir AND EXISTS "${PROJECT_SOURCE_DIR}/${dir}/${name}")
    cmake_path(NORMAL_PATH dir)
    cmake_path(APPEND dir "${name}" OUTPUT_VARIABLE local)
    cmake_path(NORMAL_PATH local)
    set(${out} "${local}" PARENT_SCOPE)
  elseif(EXISTS "${PROJECT_SOURCE_DIR}/${name}")
    set(${out} "${name}" PARENT_SCOPE)
  elseif(EXISTS "${ZELGFX_GENERATED_INCLUDE}/${name}")
    set(${out} "generated:${name}" PARENT_SCOPE)
  endif()
endfunction()

set(pending ${ZELGFX_PUBLIC_ROOTS})
set(ZELGFX_PUBLIC_HEADERS "")
while(pending)
  list(POP_FRONT pending header)
  if(header IN_LIST ZELGFX_PUBLIC_HEADERS)
    continue()
  endif()
  list(APPEND ZELGFX_PUBLIC_HEADERS "${header}")
  set(source "${PROJECT_SOURCE_DIR}/${header}")
  set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  file(READ "${source}" content)
  string(REGEX MATCHALL "#[ \t]*include[ \t]*\"[^\"]+\"" directives "${content}")
  zel_installed_path("${header}" installed)
  get_filename_component(installed_dir "/${installed}" DIRECTORY)
  foreach(directive IN LISTS directives)
    string(REGEX REPLACE ".*\"([^\"]+)\"" "\\1" name "${directive}")
    zel_resolve_include("${header}" "${name}" target)
    if(target STREQUAL "")
      message(FATAL_ERROR "${header} includes \"${name}\", which is no header of this project")
    elseif(target MATCHES "^generated:(.*)")
      set(target_installed "${CMAKE_MATCH_1}")
    else()
      list(APPEND pending "${target}")
      zel_installed_path("${target}" target_installed)
    endif()
    file(RELATIVE_PATH relative "${installed_dir}" "/${target_installed}")
    string(REPLACE "${directive}" "#include \"${relative}\"" content "${content}")
  endforeach()
  # Written only when changed, so that a reconfigure rebuilds nothing.
  get_filename_component(staged_dir "${ZELGFX_STAGED_INCLUDE}/${installed}" DIRECTORY)
  file(MAKE_DIRECTORY "${staged_dir}")
  file(WRITE "${ZELGFX_STAGED_INCLUDE}.tmp" "${content}")
  file(COPY_FILE "${ZELGFX_STAGED_INCLUDE}.tmp" "${ZELGFX_STAGED_INCLUDE}/${installed}" ONLY_IF_DIFFERENT)
endwhile()
file(REMOVE "${ZELGFX_STAGED_INCLUDE}.tmp")
