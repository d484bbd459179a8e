#include <gtk/gtk.h>

#include <cstdio>

#include "common/linux/toolkit_start_gtk.h"
#include "common/message_box.h"
#include "common/message_text_limit.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

GtkMessageType TypeOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kWarning:
            return GTK_MESSAGE_WARNING;
        case MessageIcon::kError:
            return GTK_MESSAGE_ERROR;
        case MessageIcon::kQuestion:
            return GTK_MESSAGE_QUESTION;
        case MessageIcon::kInformation:
            break;
    }
    return GTK_MESSAGE_INFO;
}

const char* IconNameOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kWarning:
            return "dialog-warning";
        case MessageIcon::kError:
            return "dialog-error";
        case MessageIcon::kQuestion:
            return "dialog-question";
        case MessageIcon::kInformation:
            break;
    }
    return "dialog-information";
}

// The toolkit's message dialogs no longer draw an icon of their own: the box gets the one its
// caller asks for, before the text, as the learner knows it from other systems.
void AddIcon(GtkWidget* dialog, MessageIcon icon) {
    GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
    GtkWidget* row = gtk_widget_get_parent(area);
    if (!row || !GTK_IS_BOX(row))
        return;
    GtkWidget* image = gtk_image_new_from_icon_name(IconNameOf(icon), GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_name(image, "kestrum-message-icon");
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
}

GtkButtonsType ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOkCancel:
            return GTK_BUTTONS_OK_CANCEL;
        case MessageButtons::kYesNo:
            return GTK_BUTTONS_YES_NO;
        case MessageButtons::kOk:
            break;
    }
    return GTK_BUTTONS_OK;
}

// Closing the box without a button counts as its "no" answer.
MessageAnswer AnswerOf(int response, MessageButtons buttons) {
    switch (response) {
        case GTK_RESPONSE_OK:
            return MessageAnswer::kOk;
        case GTK_RESPONSE_YES:
            return MessageAnswer::kYes;
        case GTK_RESPONSE_NO:
            return MessageAnswer::kNo;
        case GTK_RESPONSE_CANCEL:
            return MessageAnswer::kCancel;
        default:
            break;
    }
    switch (buttons) {
        case MessageButtons::kOkCancel:
            return MessageAnswer::kCancel;
        case MessageButtons::kYesNo:
            return MessageAnswer::kNo;
        case MessageButtons::kOk:
            break;
    }
    return MessageAnswer::kOk;
}

}  // namespace

MessageAnswer ShowMessageBox(const MessageBoxRequest& request) {
    const std::string text = Utf16ToUtf8(LimitMessageText(request.text));
    const std::string caption = Utf16ToUtf8(request.caption);
    if (!StartToolkit(nullptr, nullptr)) {
        // No display: the learner cannot be asked; the text still reaches the log.
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return AnswerOf(GTK_RESPONSE_NONE, request.buttons);
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, TypeOf(request.icon),
                                               ButtonsOf(request.buttons), "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    AddIcon(dialog, request.icon);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_urgency_hint(GTK_WINDOW(dialog), TRUE);
    if (request.rightToLeft) {
        gtk_widget_set_direction(dialog, GTK_TEXT_DIR_RTL);
        GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
        GList* children = gtk_container_get_children(GTK_CONTAINER(area));
        for (GList* child = children; child; child = child->next) {
            gtk_widget_set_direction(GTK_WIDGET(child->data), GTK_TEXT_DIR_RTL);
            if (GTK_IS_LABEL(child->data)) {
                gtk_label_set_xalign(GTK_LABEL(child->data), 1.0f);
                gtk_label_set_justify(GTK_LABEL(child->data), GTK_JUSTIFY_RIGHT);
            }
        }
        g_list_free(children);
    }
    gtk_window_present(GTK_WINDOW(dialog));
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration();
    return AnswerOf(response, request.buttons);
}

}  // namespace kestrum
