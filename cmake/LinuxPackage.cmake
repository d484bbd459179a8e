# What `cmake --install` puts on a Linux system, and the Debian package made of it (cpack -G DEB).
# The player finds its web extension at <prefix>/lib/kestrum/web-extensions from its own place
# (browser/linux/webkit_engine.cpp), hence "lib" and not the multiarch library folder.
include(GNUInstallDirs)

install(TARGETS kestrum kestrum-diagnostic kestrum-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kestrum-web-extension LIBRARY DESTINATION lib/kestrum/web-extensions)
install(TARGETS kestrum-media-check RUNTIME DESTINATION lib/kestrum)

set(_kestrum_packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
install(FILES ${_kestrum_packaging}/kestrum.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${_kestrum_packaging}/org.kestrum.Kestrum.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
# Debian keeps manual pages gzipped; -n leaves out the time so the package is reproducible.
set(_kestrum_man_pages)
foreach(_page kestrum.1 kestrum-tool.1)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${_page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -n -9 -c ${_kestrum_packaging}/${_page} > ${CMAKE_BINARY_DIR}/man/${_page}.gz
        DEPENDS ${_kestrum_packaging}/${_page} VERBATIM)
    list(APPEND _kestrum_man_pages ${CMAKE_BINARY_DIR}/man/${_page}.gz)
endforeach()
add_custom_target(kestrum_man_pages ALL DEPENDS ${_kestrum_man_pages})
install(FILES ${_kestrum_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(_size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/kestrum-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME kestrum.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrum)
set(CPACK_PACKAGE_VENDOR Kestrum)
set(CPACK_PACKAGE_CONTACT "Kestrum maintainers <packages@kestrum.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "protected player for the learning platform's lesson links")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "protected player for the learning platform's lesson links
 Kestrum opens kestrum: links from the learning platform, checks them with the
 platform's service and shows the lesson, its videos and documents in its own
 window. kestrum-tool inspects links and diagnostic codes from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not seen by dpkg-shlibdeps: loaded by GStreamer and fontconfig at run time. The videos need
# MP4/WebM demuxers and VP8/VP9 (good), H.264 and AAC (libav), Vorbis/Opus and the sinks
# (base); the pages and windows need Latin, Arabic and symbol glyphs.
# libcups2: opened on the first print, so not among the binaries' linked libraries.
set(KESTRUM_RUNTIME_PACKAGES
    libcups2 gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
    fonts-dejavu-core fonts-noto-core fonts-noto-ui-core fonts-symbola)
list(JOIN KESTRUM_RUNTIME_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
