#include "fatal/linux/diagnostic_program/diagnostic_window_gtk.h"

#include <webkit2/webkit2.h>

#include "common/text_encoding.h"
#include "fatal/diagnostic_document.h"

namespace kestrum {
namespace {

constexpr int kDialogWidth = 700;
constexpr int kDialogHeight = 580;
constexpr const char* kCopyHandler = "kestrumCopy";

// The page copies with document.execCommand('copy'), which WebKitGTK refuses to pages without
// a user gesture and which would leave the clipboard to the web process anyway: the command
// is routed here, and the dialog puts its own code on the clipboard.
constexpr const char* kCopyBridge =
    "(function(){var h=window.webkit&&window.webkit.messageHandlers&&"
    "window.webkit.messageHandlers.kestrumCopy;if(!h)return;"
    "var original=document.execCommand;"
    "document.execCommand=function(command){"
    "if(String(command).toLowerCase()==='copy'){h.postMessage('copy');return true;}"
    "return original.apply(document,arguments);};})();";

// The page's application tag is meaningful only to the Windows host. An HTML parser keeps the
// "self-closing" unknown element open, so it swallows the whole page and the body's centring
// applies to it alone; without its own box its children are centred as intended.
constexpr const char* kLayoutFix = "hta\\:application{display:contents}";

const char* CodeOf(GtkWidget* window) {
    return static_cast<const char*>(g_object_get_data(G_OBJECT(window), "kestrum-code"));
}

void PutOnClipboard(GtkWidget* window) {
    GtkClipboard* clipboard =
        gtk_clipboard_get_for_display(gtk_widget_get_display(window), GDK_SELECTION_CLIPBOARD);
    gtk_clipboard_set_text(clipboard, CodeOf(window), -1);
}

void OnCopyRequested(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer window) {
    PutOnClipboard(GTK_WIDGET(window));
}

void OnCloseRequested(WebKitWebView*, gpointer window) {
    gtk_widget_destroy(GTK_WIDGET(window));
}

void OnRealize(GtkWidget* window, gpointer) {
    GdkWindow* surface = gtk_widget_get_window(window);
    gdk_window_set_functions(surface, static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
    gdk_window_set_decorations(
        surface, static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
}

// Links in the page (there are none of its own) open nowhere.
gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                        WebKitPolicyDecisionType type, gpointer) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

GtkWidget* CreateDiagnosticWindow(const DiagnosticDialogTexts& texts) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* asWindow = GTK_WINDOW(window);
    const std::string title = Utf16ToUtf8(texts.title);
    gtk_window_set_title(asWindow, title.c_str());
    gtk_window_set_type_hint(asWindow, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(asWindow, FALSE);
    gtk_window_set_position(asWindow, GTK_WIN_POS_CENTER);
    g_object_set_data_full(G_OBJECT(window), "kestrum-code", g_strdup(texts.code.c_str()), g_free);
    g_signal_connect(window, "realize", G_CALLBACK(OnRealize), nullptr);

    WebKitUserContentManager* scripts = webkit_user_content_manager_new();
    WebKitUserScript* bridge =
        webkit_user_script_new(kCopyBridge, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(scripts, bridge);
    webkit_user_script_unref(bridge);
    WebKitUserStyleSheet* layout =
        webkit_user_style_sheet_new(kLayoutFix, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                    WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(scripts, layout);
    webkit_user_style_sheet_unref(layout);
    g_signal_connect(scripts, "script-message-received::kestrumCopy", G_CALLBACK(OnCopyRequested),
                     window);
    webkit_user_content_manager_register_script_message_handler(scripts, kCopyHandler);

    GtkWidget* view = webkit_web_view_new_with_user_content_manager(scripts);
    g_object_unref(scripts);
    // Fixed size: a window that is not resizable takes its child's requested size.
    gtk_widget_set_size_request(view, kDialogWidth, kDialogHeight);
    g_signal_connect(view, "close", G_CALLBACK(OnCloseRequested), window);
    g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), nullptr);
    gtk_container_add(GTK_CONTAINER(window), view);

    const std::string page = Utf16ToUtf8(
        BuildDiagnosticDocument(texts.title, texts.englishText, texts.arabicText, texts.code));
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), page.c_str(), nullptr);

    PutOnClipboard(window);
    return window;
}

}  // namespace kestrum
