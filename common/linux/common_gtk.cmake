# The toolkit's start, for every program of the player's that opens a display.
add_library(kestrum_toolkit_gtk STATIC ${PROJECT_SOURCE_DIR}/common/linux/toolkit_start_gtk.cpp)
target_include_directories(kestrum_toolkit_gtk PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kestrum_toolkit_gtk PUBLIC PkgConfig::GTK3)
kestrum_warnings(kestrum_toolkit_gtk)

# The message box on GTK, apart from kestrum_core, which stays free of GTK for the tools.
add_library(kestrum_message_box_gtk STATIC ${PROJECT_SOURCE_DIR}/common/linux/message_box_gtk.cpp)
target_link_libraries(kestrum_message_box_gtk PUBLIC kestrum_core kestrum_toolkit_gtk
                                                     PkgConfig::GTK3)
kestrum_warnings(kestrum_message_box_gtk)
