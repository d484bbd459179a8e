# Windows resources (icon group 101, splash RCDATA 102, version information, manifest),
# compiled once with windres and linked into each Windows executable that ships or checks them.
# Included from the top-level directory: the RC language must be enabled in the directory
# common to every target that links the objects.
if(WIN32)
    enable_language(RC)
    set(_kestrum_rc ${CMAKE_CURRENT_LIST_DIR}/kestrum.rc)
    add_library(kestrum_win32_resources OBJECT ${_kestrum_rc})
    target_include_directories(kestrum_win32_resources PRIVATE ${PROJECT_SOURCE_DIR})
    set_source_files_properties(${_kestrum_rc} PROPERTIES OBJECT_DEPENDS
        "${PROJECT_SOURCE_DIR}/resources/icon/kestrum.ico;${PROJECT_SOURCE_DIR}/resources/splash.png;${CMAKE_CURRENT_LIST_DIR}/kestrum.manifest")

    function(kestrum_add_win32_resources target)
        target_sources(${target} PRIVATE $<TARGET_OBJECTS:kestrum_win32_resources>)
        add_dependencies(${target} kestrum_win32_resources)
    endfunction()
endif()
