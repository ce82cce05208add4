# Settings of the project's own code.
#   orv_platform  Windows API level and character set (public, for every
#                 project target and its users).
#   orv_warnings  -Wall -Wextra -Werror (private, project code only).
#   orv_add_test(NAME DIR [SERVICE_PACKAGE file] [LIBS lib...]
#                [ENVIRONMENT VAR=value...])
#                 One test executable NAME from DIR/*.cc (and any
#                 DIR/*.rc resource script), linked with
#                 orv_base, gmock and gtest_main (include root: the
#                 repository root and src/), registered as one ctest
#                 test run under Wine. A DIR without sources is skipped.
#                 SERVICE_PACKAGE runs it beside the reference download
#                 service on 127.0.0.1, started with that package
#                 (tools/with_service.sh; port in ORV_SERVICE_PORT).

add_library(orv_platform INTERFACE)
target_compile_definitions(orv_platform INTERFACE
  UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)

add_library(orv_warnings INTERFACE)
target_compile_options(orv_warnings INTERFACE -Wall -Wextra -Werror)

# Folder of the project's Wine prefix; ctest passes it to the emulator.
set(ORV_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix for tests")
add_custom_command(
  OUTPUT "${ORV_WINEPREFIX}/.orv-prefix-ready"
  COMMAND "${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh" "${ORV_WINEPREFIX}"
  COMMENT "Creating the Wine prefix ${ORV_WINEPREFIX}"
  VERBATIM)
add_custom_target(wineprefix ALL DEPENDS "${ORV_WINEPREFIX}/.orv-prefix-ready")

function(orv_add_test name dir)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "SERVICE_PACKAGE" "LIBS;ENVIRONMENT")
  file(GLOB _sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cc")
  if(NOT _sources)
    message(STATUS "No tests in ${dir}, skipping ${name}")
    return()
  endif()
  file(GLOB _resources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.rc")
  add_executable(${name} ${_sources} ${_resources})
  # Tests include their helpers as "tests/<dir>/..." from the repository root.
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE orv_base ${ARG_LIBS} gmock gtest_main orv_warnings)
  if(ARG_SERVICE_PACKAGE)
    add_test(NAME ${name}
             COMMAND "${PROJECT_SOURCE_DIR}/tools/with_service.sh"
                     --package "${ARG_SERVICE_PACKAGE}" --
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set(_env "ORV_WINEPREFIX=${ORV_WINEPREFIX}" ${ARG_ENVIRONMENT})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${_env}")
endfunction()
