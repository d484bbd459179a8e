// The yardstick of the player's start-up: a plain WebKitGTK window and nothing else, loading one
// address. It prints "Page load finished" on standard error each time the main frame finishes
// loading, as the player does, and runs until it is closed or sent SIGTERM or SIGINT.
//   bare_webkit_window <address> <data folder>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <csignal>
#include <cstdio>
#include <string>

namespace {

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer) {
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    std::fputs("Page load finished\n", stderr);
    std::fflush(stderr);
}

gboolean Quit(gpointer) {
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: bare_webkit_window <address> <data folder>\n", stderr);
        return 2;
    }
    gtk_init(&argc, &argv);
    const std::string folder = argv[2];
    const std::string cache = folder + "/cache";

    WebKitWebsiteDataManager* data = webkit_website_data_manager_new(
        "base-data-directory", folder.c_str(), "base-cache-directory", cache.c_str(), nullptr);
    // The stand-in service's certificate is self-signed.
    webkit_website_data_manager_set_tls_errors_policy(data, WEBKIT_TLS_ERRORS_POLICY_IGNORE);
    WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(data);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 1280, 720);
    GtkWidget* view = webkit_web_view_new_with_context(context);
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_unix_signal_add(SIGTERM, Quit, nullptr);
    g_unix_signal_add(SIGINT, Quit, nullptr);

    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
    gtk_widget_show_all(window);
    gtk_main();

    g_object_unref(context);
    g_object_unref(data);
    return 0;
}
