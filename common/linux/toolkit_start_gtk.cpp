#include "common/linux/toolkit_start_gtk.h"

#include <gtk/gtk.h>

#include <initializer_list>

namespace kestrum {
namespace {

constexpr int kAttempts = 10;
constexpr gulong kPauseUs = 200 * 1000;

bool DisplayNamed() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "BROADWAY_DISPLAY"}) {
        const char* value = g_getenv(variable);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

}  // namespace

bool StartToolkit(int* argc, char*** argv) {
    // The toolkit parses its arguments once; later calls only try the display again.
    for (int attempt = 1;; ++attempt) {
        if (gtk_init_check(argc, argv))
            return true;
        if (attempt == kAttempts || !DisplayNamed())
            return false;
        g_usleep(kPauseUs);
    }
}

}  // namespace kestrum
