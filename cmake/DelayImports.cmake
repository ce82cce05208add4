# Delay-loaded imports. A web installer runs from folders where anyone may
# have dropped a DLL named like a system one, so the executable imports
# statically only DLLs of the system's KnownDLLs list; every other DLL is
# delay-loaded, which happens after the entry has restricted the DLL search
# to System32.
#   orv_delay_<name>  link this instead of <name> (cmake/delay/<name>.def
#                     lists the functions the program uses)
find_program(ORV_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
set(ORV_DELAY_DLLS wininet netapi32 version msimg32 comctl32 winmm bcrypt)
foreach(_dll IN LISTS ORV_DELAY_DLLS)
  set(_def "${PROJECT_SOURCE_DIR}/cmake/delay/${_dll}.def")
  set(_lib "${CMAKE_BINARY_DIR}/delay/lib${_dll}_delay.a")
  add_custom_command(
    OUTPUT "${_lib}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/delay"
    COMMAND "${ORV_DLLTOOL}" --input-def "${_def}" --dllname "${_dll}.dll"
            --output-delaylib "${_lib}"
    DEPENDS "${_def}"
    VERBATIM)
  add_custom_target(orv_delay_${_dll}_lib DEPENDS "${_lib}")
  add_library(orv_delay_${_dll} INTERFACE)
  target_link_libraries(orv_delay_${_dll} INTERFACE "${_lib}" delayimp)
  add_dependencies(orv_delay_${_dll} orv_delay_${_dll}_lib)
endforeach()
