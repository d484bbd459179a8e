# The per-user installer `kestrum-setup.exe`, made with NSIS's makensis from the built player.
# Without makensis the player still builds; the installer and its test are left out.
find_program(KESTRUM_MAKENSIS makensis)
if(KESTRUM_MAKENSIS)
    set(KESTRUM_INSTALLER ${CMAKE_BINARY_DIR}/kestrum-setup.exe)
    set(_kestrum_nsi ${CMAKE_CURRENT_LIST_DIR}/kestrum.nsi)
    add_custom_command(
        OUTPUT ${KESTRUM_INSTALLER}
        COMMAND ${KESTRUM_MAKENSIS} -V2 -DPLAYER_EXE=$<TARGET_FILE:kestrum>
                -DICON=${PROJECT_SOURCE_DIR}/resources/icon/kestrum.ico
                -DVERSION=${PROJECT_VERSION} -DOUTFILE=${KESTRUM_INSTALLER} ${_kestrum_nsi}
        DEPENDS kestrum ${_kestrum_nsi} ${PROJECT_SOURCE_DIR}/resources/icon/kestrum.ico
        COMMENT "Making the installer kestrum-setup.exe"
        VERBATIM)
    add_custom_target(kestrum_installer ALL DEPENDS ${KESTRUM_INSTALLER})
else()
    message(STATUS "makensis not found: no Windows installer")
endif()
