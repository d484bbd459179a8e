# The message box on GTK, apart from kestrum_core, which stays free of GTK for the tools.
add_library(kestrum_message_box_gtk STATIC ${PROJECT_SOURCE_DIR}/common/linux/message_box_gtk.cpp)
target_link_libraries(kestrum_message_box_gtk PUBLIC kestrum_core PkgConfig::GTK3)
kestrum_warnings(kestrum_message_box_gtk)
