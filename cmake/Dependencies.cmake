# nlohmann/json comes from Debian's package. The cross build cannot search the host's
# /usr/include (it would pick up glibc headers), so it gets a private copy of just that
# library's headers.
add_library(kestrum_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
    set(_json_copy "${CMAKE_BINARY_DIR}/third_party/include")
    if(NOT EXISTS "/usr/include/nlohmann/json.hpp")
        message(FATAL_ERROR "nlohmann/json is missing: install nlohmann-json3-dev")
    endif()
    file(COPY /usr/include/nlohmann DESTINATION "${_json_copy}")
    target_include_directories(kestrum_json SYSTEM INTERFACE "${_json_copy}")
else()
    find_package(nlohmann_json 3.11 REQUIRED)
    target_link_libraries(kestrum_json INTERFACE nlohmann_json::nlohmann_json)
    find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto SSL)
    find_package(CURL 7.85 REQUIRED)
endif()
