# Checks of the deployment values an installer is built with.
#   orv_check_deployment(PREFIX)  checks PREFIX_SERVICE_ENDPOINT, _WEB_SITE,
#                                 _AGREEMENT_SITE and _SIGNING_KEY; stops the
#                                 configuration with a message on a bad one.
# A Release build talks to its service over HTTPS only: an http:// endpoint
# is refused unless ORV_ALLOW_PLAIN_HTTP is ON (tests, the demo and the
# benchmarks run a plain-HTTP service on loopback).
#
# Also runs as a script, for tests:
#   cmake -DORV_SERVICE_ENDPOINT=... [-DCMAKE_BUILD_TYPE=Release]
#         [-DORV_ALLOW_PLAIN_HTTP=ON] -P cmake/DeploymentChecks.cmake
function(orv_check_deployment prefix)
  set(endpoint "${${prefix}_SERVICE_ENDPOINT}")
  set(web_site "${${prefix}_WEB_SITE}")
  set(agreement "${${prefix}_AGREEMENT_SITE}")
  set(key "${${prefix}_SIGNING_KEY}")
  foreach(_pair "SERVICE_ENDPOINT;${endpoint}" "AGREEMENT_SITE;${agreement}")
    list(GET _pair 0 _name)
    list(GET _pair 1 _value)
    if(NOT _value MATCHES "^https?://[^ \"]+$")
      message(FATAL_ERROR "${prefix}_${_name} must be an http or https address: '${_value}'")
    endif()
  endforeach()
  if(NOT web_site STREQUAL "" AND NOT web_site MATCHES "^https?://[^ \"]+$")
    message(FATAL_ERROR "${prefix}_WEB_SITE must be empty or an http or https address")
  endif()
  if(NOT endpoint MATCHES "/quill/orv/download$")
    message(FATAL_ERROR "${prefix}_SERVICE_ENDPOINT must end with /quill/orv/download")
  endif()
  if(CMAKE_BUILD_TYPE STREQUAL "Release" AND endpoint MATCHES "^http://" AND
     NOT ORV_ALLOW_PLAIN_HTTP)
    message(FATAL_ERROR "${prefix}_SERVICE_ENDPOINT is plain HTTP in a Release build: "
            "'${endpoint}'. Give an https:// address, or -DORV_ALLOW_PLAIN_HTTP=ON "
            "for a build that only talks to a local test service.")
  endif()
  string(LENGTH "${key}" _key_length)
  if(NOT key MATCHES "^[A-Za-z0-9]+$" OR NOT _key_length EQUAL 22)
    message(FATAL_ERROR "${prefix}_SIGNING_KEY must be 22 letters and digits")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  foreach(_name WEB_SITE AGREEMENT_SITE SIGNING_KEY)
    if(NOT DEFINED ORV_${_name})
      set(ORV_${_name} "")
    endif()
  endforeach()
  if(NOT DEFINED ORV_AGREEMENT_SITE OR ORV_AGREEMENT_SITE STREQUAL "")
    set(ORV_AGREEMENT_SITE "https://agreement.invalid")
  endif()
  if(ORV_SIGNING_KEY STREQUAL "")
    set(ORV_SIGNING_KEY "VelmoraDemoKey2026abcd")
  endif()
  orv_check_deployment(ORV)
  message(STATUS "deployment values accepted")
endif()
