list(APPEND KESTRUM_PORTABLE_SOURCES
    printing/print_flow.cpp
    printing/print_results.cpp
    printing/printer_picker_layout.cpp
    printing/printer_list.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    printing/linux/cups_library.cpp
    printing/linux/printer_enum_cups.cpp)
# libcups is opened on the first print (printing/linux/cups_library.cpp), not linked.
list(APPEND KESTRUM_LINUX_LIBRARIES ${CMAKE_DL_LIBS})
list(APPEND KESTRUM_WIN32_SOURCES
    printing/win32/printer_enum_win32.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES winspool)
if(WIN32)
    # mingw's libwinspool imports the default-printer query by name; ours takes it by ordinal.
    if(NOT CMAKE_DLLTOOL)
        message(FATAL_ERROR "dlltool is needed for the spooler's ordinal import library")
    endif()
    set(_kestrum_ordinal_lib ${CMAKE_BINARY_DIR}/printing/libkestrum_winspool_ordinal.a)
    add_custom_command(
        OUTPUT ${_kestrum_ordinal_lib}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/printing
        COMMAND ${CMAKE_DLLTOOL} --input-def
                ${CMAKE_CURRENT_SOURCE_DIR}/printing/win32/winspool_ordinal.def
                --output-lib ${_kestrum_ordinal_lib}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/printing/win32/winspool_ordinal.def
        COMMENT "Import library for the spooler's ordinal 203"
        VERBATIM)
    add_custom_target(kestrum_winspool_ordinal_lib DEPENDS ${_kestrum_ordinal_lib})
    add_library(kestrum_winspool_ordinal INTERFACE)
    target_link_libraries(kestrum_winspool_ordinal INTERFACE ${_kestrum_ordinal_lib})
    add_dependencies(kestrum_winspool_ordinal kestrum_winspool_ordinal_lib)
    list(APPEND KESTRUM_WIN32_LIBRARIES kestrum_winspool_ordinal)
endif()
