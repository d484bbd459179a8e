list(APPEND KESTRUM_PORTABLE_SOURCES
    printing/printer_list.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    printing/linux/printer_enum_cups.cpp)
list(APPEND KESTRUM_LINUX_LIBRARIES cups)
list(APPEND KESTRUM_WIN32_SOURCES
    printing/win32/printer_enum_win32.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES winspool)
