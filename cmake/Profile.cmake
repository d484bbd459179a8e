# Turns the chosen platform profile into scrambled constants at configure time; editing the
# profile (or choosing another with -DKESTRUM_PROFILE=...) re-runs this step.
get_filename_component(KESTRUM_PROFILE "${KESTRUM_PROFILE}" ABSOLUTE)
if(NOT EXISTS "${KESTRUM_PROFILE}")
    message(FATAL_ERROR "Platform profile not found: ${KESTRUM_PROFILE}")
endif()
set(KESTRUM_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
set(KESTRUM_PROFILE_SOURCE "${KESTRUM_GENERATED_DIR}/platform_profile_data.cpp")
file(MAKE_DIRECTORY "${KESTRUM_GENERATED_DIR}/common")
execute_process(
    COMMAND ${CMAKE_COMMAND}
        -DPROFILE=${KESTRUM_PROFILE}
        -DOUT_HEADER=${KESTRUM_GENERATED_DIR}/common/platform_profile_items.h
        -DOUT_SOURCE=${KESTRUM_PROFILE_SOURCE}
        -P ${CMAKE_CURRENT_LIST_DIR}/GenerateProfile.cmake
    RESULT_VARIABLE _profile_result)
if(NOT _profile_result EQUAL 0)
    message(FATAL_ERROR "The platform profile could not be turned into constants")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    "${KESTRUM_PROFILE}"
    "${CMAKE_CURRENT_LIST_DIR}/GenerateProfile.cmake"
    "${CMAKE_CURRENT_LIST_DIR}/ProfileMembers.cmake")
message(STATUS "Platform profile: ${KESTRUM_PROFILE}")
