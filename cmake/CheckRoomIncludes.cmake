# Script mode: the tree is a house of rooms, and a room uses only the rooms below it.
#   common/, resources/  ground floor: text helpers, profile, log, process record; embedded data
#   fatal/, printing/    the fatal path; the printer picker and print job
#   service/             the platform's HTTPS service
#   link/                link decoding
#   browser/             the embedded browser host
#   app/                 start-up and the composition of everything below
#   tools/               programs built from the rooms
# A platform's folder (linux/, win32/) never includes the other platform's, and portable files
# include no platform folder at all.
set(rooms common resources fatal printing service link browser app tools)
set(floor_common 0)
set(floor_resources 0)
set(floor_fatal 1)
set(floor_printing 1)
set(floor_service 2)
set(floor_link 3)
set(floor_browser 4)
set(floor_app 5)
set(floor_tools 6)

set(globs "")
foreach(room IN LISTS rooms)
    list(APPEND globs "${SOURCE_DIR}/${room}/*.h" "${SOURCE_DIR}/${room}/*.cpp")
endforeach()
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" ${globs})

set(offenders "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" room "${source}")
    set(platform "")
    if(source MATCHES "/(linux|win32)/")
        set(platform "${CMAKE_MATCH_1}")
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "\"([^\"]+)\"" _ "${line}")
        set(target "${CMAKE_MATCH_1}")
        string(REGEX MATCH "^[^/]+" target_room "${target}")
        list(FIND rooms "${target_room}" known)
        if(known EQUAL -1)
            continue()  # a header beside the file, or a library's
        endif()
        if(NOT target_room STREQUAL room AND
           NOT floor_${target_room} LESS floor_${room})
            list(APPEND offenders "${source}: ${target} (${target_room}/ is not below ${room}/)")
        endif()
        if(target MATCHES "/(linux|win32)/")
            set(target_platform "${CMAKE_MATCH_1}")
            if(NOT platform)
                list(APPEND offenders "${source}: ${target} (portable code, platform header)")
            elseif(NOT target_platform STREQUAL platform)
                list(APPEND offenders "${source}: ${target} (${platform} code, ${target_platform} header)")
            endif()
        endif()
    endforeach()
endforeach()
if(offenders)
    list(JOIN offenders "\n  " text)
    message(FATAL_ERROR "Includes that break the order of the rooms:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Room order checked over ${count} files")
