# Third-party libraries, built from Debian source packages (fetched and
# verified by tools/fetch_third_party.sh into an ignored cache folder) and
# from the googletest package's sources in /usr/src/googletest.
# All are static libraries built with the project's toolchain; their
# warnings are silenced and never errors.
#
# Targets and includes:
#   third_party::jsoncpp   #include <json/json.h>
#   third_party::tinyxml   #include <tinyxml.h>        (TIXML_USE_STL)
#   third_party::minizip   #include <minizip/unzip.h>  (also zip.h, ioapi.h,
#                          iowin32.h; links zlib)
#   gtest, gtest_main, gmock, gmock_main

set(ORV_THIRD_PARTY_CACHE "${PROJECT_SOURCE_DIR}/.cache/third_party"
    CACHE PATH "Download and unpack folder of third-party sources")
set(ORV_GOOGLETEST_DIR "/usr/src/googletest"
    CACHE PATH "GoogleTest sources (Debian package googletest)")

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${PROJECT_SOURCE_DIR}/third_party/SHA256SUMS"
  "${PROJECT_SOURCE_DIR}/tools/fetch_third_party.sh")

execute_process(
  COMMAND "${PROJECT_SOURCE_DIR}/tools/fetch_third_party.sh" "${ORV_THIRD_PARTY_CACHE}"
  RESULT_VARIABLE _orv_fetch_rc)
if(NOT _orv_fetch_rc EQUAL 0)
  message(FATAL_ERROR "Fetching third-party sources failed (${_orv_fetch_rc}).")
endif()
set(_tp_src "${ORV_THIRD_PARTY_CACHE}/src")

function(_orv_third_party_options target)
  target_compile_options(${target} PRIVATE -w)
  set_target_properties(${target} PROPERTIES FOLDER third_party)
endfunction()

# --- jsoncpp ---------------------------------------------------------------
set(_json "${_tp_src}/libjsoncpp")
add_library(orv_jsoncpp STATIC
  "${_json}/src/lib_json/json_reader.cpp"
  "${_json}/src/lib_json/json_value.cpp"
  "${_json}/src/lib_json/json_writer.cpp")
target_include_directories(orv_jsoncpp PRIVATE "${_json}/src/lib_json")
target_include_directories(orv_jsoncpp SYSTEM PUBLIC "${_json}/include")
target_compile_features(orv_jsoncpp PUBLIC cxx_std_11)
_orv_third_party_options(orv_jsoncpp)
add_library(third_party::jsoncpp ALIAS orv_jsoncpp)

# --- TinyXML ---------------------------------------------------------------
set(_txml "${_tp_src}/tinyxml")
add_library(orv_tinyxml STATIC
  "${_txml}/tinyxml.cpp"
  "${_txml}/tinystr.cpp"
  "${_txml}/tinyxmlerror.cpp"
  "${_txml}/tinyxmlparser.cpp")
# Expose only the headers, not the whole source folder.
set(_txml_inc "${CMAKE_BINARY_DIR}/third_party/include/tinyxml")
foreach(_h tinyxml.h tinystr.h)
  configure_file("${_txml}/${_h}" "${_txml_inc}/${_h}" COPYONLY)
endforeach()
target_compile_definitions(orv_tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(orv_tinyxml SYSTEM PUBLIC "${_txml_inc}")
_orv_third_party_options(orv_tinyxml)
add_library(third_party::tinyxml ALIAS orv_tinyxml)

# --- minizip (zlib contrib) ------------------------------------------------
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
set(_mz "${_tp_src}/minizip")
set(_mz_inc "${CMAKE_BINARY_DIR}/third_party/include")
foreach(_h unzip.h zip.h ioapi.h iowin32.h mztools.h crypt.h)
  configure_file("${_mz}/${_h}" "${_mz_inc}/minizip/${_h}" COPYONLY)
endforeach()
add_library(orv_minizip STATIC
  "${_mz}/ioapi.c"
  "${_mz}/iowin32.c"
  "${_mz}/mztools.c"
  "${_mz}/unzip.c"
  "${_mz}/zip.c")
# MinGW has fopen64/fseeko64/ftello64 (64-bit offsets, ZIP64 works).
target_include_directories(orv_minizip PRIVATE "${_mz}")
target_include_directories(orv_minizip SYSTEM PUBLIC "${_mz_inc}")
target_link_libraries(orv_minizip PUBLIC ZLIB::ZLIB)
_orv_third_party_options(orv_minizip)
add_library(third_party::minizip ALIAS orv_minizip)

# --- GoogleTest / GoogleMock -----------------------------------------------
if(NOT EXISTS "${ORV_GOOGLETEST_DIR}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${ORV_GOOGLETEST_DIR} "
                      "(run 'make deps' to install the googletest package).")
endif()
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory("${ORV_GOOGLETEST_DIR}" "${CMAKE_BINARY_DIR}/third_party/googletest"
                 EXCLUDE_FROM_ALL SYSTEM)
foreach(_t gtest gtest_main gmock gmock_main)
  _orv_third_party_options(${_t})
endforeach()
