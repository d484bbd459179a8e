# The Linux desktop libraries of the player's GTK side, found once for the whole tree.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET GLOBAL gtk+-3.0)
pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET GLOBAL webkit2gtk-4.1)
pkg_check_modules(WEBKIT_EXTENSION REQUIRED IMPORTED_TARGET GLOBAL webkit2gtk-web-extension-4.1)
