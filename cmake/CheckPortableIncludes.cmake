# Script mode: the portable sources include no operating-system or platform-library header;
# those belong in the linux/ and win32/ folders of each subsystem.
set(forbidden "windows\\.h|winhttp|bcrypt\\.h|shellapi|wincrypt|unistd\\.h|sys/|pthread\\.h|dlfcn|openssl/|curl/|gtk/|webkit|cups/|gdk|glib")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/app/*" "${SOURCE_DIR}/link/*" "${SOURCE_DIR}/service/*" "${SOURCE_DIR}/fatal/*"
     "${SOURCE_DIR}/browser/*" "${SOURCE_DIR}/printing/*" "${SOURCE_DIR}/common/*")
set(offenders "")
foreach(source IN LISTS sources)
    if(source MATCHES "/(linux|win32)/")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "<(${forbidden})" OR line MATCHES "\"(${forbidden})")
            list(APPEND offenders "${source}: ${line}")
        endif()
    endforeach()
endforeach()
if(offenders)
    list(JOIN offenders "\n  " text)
    message(FATAL_ERROR "Portable code includes platform headers:\n  ${text}")
endif()
message(STATUS "Portable sources checked: no platform header")
