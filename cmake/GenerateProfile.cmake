# Script mode: cmake -DPROFILE=<json> -DOUT_HEADER=<h> -DOUT_SOURCE=<cpp> -P GenerateProfile.cmake
#
# Writes the platform profile into the binary as scrambled bytes: each item is XORed with a
# keystream seeded per item, so none of the profile's texts (keys, token, addresses) stands
# in the executable in plain form. common/platform_profile.cpp restores them with the same
# keystream. The salt comes from the profile's own digest, so builds are reproducible.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/ProfileMembers.cmake)

file(READ "${PROFILE}" profile_json)
string(JSON profile_type ERROR_VARIABLE parse_error TYPE "${profile_json}")
if(parse_error OR NOT profile_type STREQUAL "OBJECT")
    message(FATAL_ERROR "Platform profile ${PROFILE} is not a JSON object: ${parse_error}")
endif()

string(SHA256 digest "${profile_json}")
string(SUBSTRING "${digest}" 0 7 salt_hex)
math(EXPR salt "0x${salt_hex}")

set(enum_lines "")
set(table_lines "")
set(byte_lines "")
set(offset 0)
set(index 0)
foreach(member IN LISTS KESTRUM_PROFILE_MEMBERS)
    string(JSON member_type ERROR_VARIABLE member_error TYPE "${profile_json}" ${member})
    if(member_error)
        message(FATAL_ERROR "Platform profile ${PROFILE} lacks the member \"${member}\"")
    endif()
    string(JSON value GET "${profile_json}" ${member})
    if(member_type STREQUAL "STRING")
        set(is_json false)
    else()
        set(is_json true)
    endif()

    string(SUBSTRING "${member}" 0 1 first)
    string(TOUPPER "${first}" first)
    string(SUBSTRING "${member}" 1 -1 rest)
    string(APPEND enum_lines "    k${first}${rest},\n")

    math(EXPR seed "(${salt} + (${index} + 1) * 2654435761) & 0x7FFFFFFF")
    string(HEX "${value}" hex)
    string(LENGTH "${hex}" hex_length)
    math(EXPR length "${hex_length} / 2")
    set(state ${seed})
    set(line "   ")
    set(count 0)
    if(length GREATER 0)
        math(EXPR last "${hex_length} - 2")
        foreach(pos RANGE 0 ${last} 2)
            string(SUBSTRING "${hex}" ${pos} 2 byte)
            math(EXPR state "(${state} * 1103515245 + 12345) & 0x7FFFFFFF")
            math(EXPR scrambled "0x${byte} ^ ((${state} >> 16) & 0xFF)")
            string(APPEND line " ${scrambled},")
            math(EXPR count "${count} + 1")
            if(count EQUAL 20)
                string(APPEND byte_lines "${line}\n")
                set(line "   ")
                set(count 0)
            endif()
        endforeach()
    endif()
    if(count GREATER 0)
        string(APPEND byte_lines "${line}\n")
    endif()
    string(APPEND table_lines "    {${offset}u, ${length}u, ${seed}u, ${is_json}},  // ${member}\n")
    math(EXPR offset "${offset} + ${length}")
    math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUT_HEADER}.tmp" "// Generated from the platform profile; do not edit.
#pragma once

namespace kestrum {

enum class ProfileItem {
${enum_lines}    kCount
};

}  // namespace kestrum
")
file(WRITE "${OUT_SOURCE}.tmp" "// Generated from the platform profile; do not edit.
#include \"common/platform_profile_data.h\"

namespace kestrum::profile_data {

const unsigned char kScrambled[] = {
${byte_lines}    0};

const ItemRecord kItems[] = {
${table_lines}};

const unsigned kItemCount = ${index};

}  // namespace kestrum::profile_data
")
# Only touch the outputs when they change, so a re-run does not rebuild everything.
file(COPY_FILE "${OUT_HEADER}.tmp" "${OUT_HEADER}" ONLY_IF_DIFFERENT)
file(COPY_FILE "${OUT_SOURCE}.tmp" "${OUT_SOURCE}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT_HEADER}.tmp" "${OUT_SOURCE}.tmp")
