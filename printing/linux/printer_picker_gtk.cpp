#include "printing/linux/printer_picker_gtk.h"

#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>
#include <string>

#include "common/text_encoding.h"
#include "printing/printer_picker_layout.h"

namespace kestrum {
namespace {

// The player's face first, then what Debian desktops have.
constexpr const char* kFontFamilies = "Segoe UI, Noto Sans, DejaVu Sans, sans-serif";
constexpr const char* kHeadingText = "Choose the printer for this page:";
constexpr const char* kNoPrinterText =
    "No printer was found.\nInstall or connect a printer, then try again.";

struct FontDeleter {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
using Font = std::unique_ptr<PangoFontDescription, FontDeleter>;

Font MakeFont(int pixels, PangoWeight weight) {
    Font font(pango_font_description_new());
    pango_font_description_set_family(font.get(), kFontFamilies);
    pango_font_description_set_absolute_size(font.get(), pixels * PANGO_SCALE);
    pango_font_description_set_weight(font.get(), weight);
    return font;
}

struct PickerState {
    std::vector<PrinterEntry> printers;
    std::u16string selectedName;
    int selectedRow = -1;
    Font headingFont = MakeFont(15, PANGO_WEIGHT_BOLD);
    Font itemFont = MakeFont(13, PANGO_WEIGHT_NORMAL);
    Font itemFontSelected = MakeFont(13, PANGO_WEIGHT_SEMIBOLD);
    Font badgeFont = MakeFont(10, PANGO_WEIGHT_BOLD);
    GMainLoop* loop = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* scroller = nullptr;
    GtkWidget* list = nullptr;
};

void SetColour(cairo_t* cr, std::uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

void FillRect(cairo_t* cr, const PickerRect& rect, std::uint32_t colour) {
    SetColour(cr, colour);
    cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cr);
}

// A rounded rectangle filled and, when asked, outlined with a one-pixel line that stays
// inside the rectangle, as a pen drawn on the pixel grid would.
void RoundedBox(cairo_t* cr, const PickerRect& rect, int cornerDiameter, std::uint32_t fill,
                const std::uint32_t* outline) {
    if (rect.width < 2 || rect.height < 2) {
        return;
    }
    const double x = rect.x + 0.5;
    const double y = rect.y + 0.5;
    const double w = rect.width - 1.0;
    const double h = rect.height - 1.0;
    const double r = std::min({cornerDiameter / 2.0, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -G_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, G_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, G_PI / 2, G_PI);
    cairo_arc(cr, x + r, y + r, r, G_PI, 3 * G_PI / 2);
    cairo_close_path(cr);
    SetColour(cr, fill);
    if (outline == nullptr) {
        cairo_fill(cr);
        return;
    }
    cairo_fill_preserve(cr);
    SetColour(cr, *outline);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

// One line of text, vertically centred in `rect`, cut with an ellipsis where it is too long.
void DrawLine(cairo_t* cr, const std::string& text, const PangoFontDescription* font,
              const PickerRect& rect, std::uint32_t colour, PangoAlignment alignment) {
    if (rect.width <= 0 || rect.height <= 0) {
        return;
    }
    PangoLayout* layout = pango_cairo_create_layout(cr);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text.c_str(), -1);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_width(layout, rect.width * PANGO_SCALE);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    pango_layout_set_alignment(layout, alignment);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_save(cr);
    cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
    cairo_clip(cr);
    SetColour(cr, colour);
    cairo_move_to(cr, rect.x, rect.y + (rect.height - height) / 2);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

void DrawRow(cairo_t* cr, const PickerState& state, int index, int width) {
    const PrinterEntry& printer = state.printers[static_cast<std::size_t>(index)];
    const bool selected = index == state.selectedRow;
    const PickerRect row{0, index * kPrinterRowHeight, width, kPrinterRowHeight};
    const PrinterRowLayout layout = LayoutPrinterRow(row, printer.isDefault);
    const PrinterRowStyle style = StylePrinterRow(selected);

    FillRect(cr, row, kPickerListColour);
    RoundedBox(cr, layout.card, kCardCornerDiameter, style.cardFill, &style.cardOutline);
    DrawLine(cr, Utf16ToUtf8(printer.name),
             style.strongText ? state.itemFontSelected.get() : state.itemFont.get(), layout.text,
             style.text, PANGO_ALIGN_LEFT);
    if (layout.badge) {
        RoundedBox(cr, *layout.badge, kBadgeCornerDiameter, style.badgeFill, nullptr);
        DrawLine(cr, "DEFAULT", state.badgeFont.get(), *layout.badge, style.badgeText,
                 PANGO_ALIGN_CENTER);
    }
}

gboolean OnDrawList(GtkWidget* widget, cairo_t* cr, gpointer data) {
    const auto* state = static_cast<const PickerState*>(data);
    const int width = gtk_widget_get_allocated_width(widget);
    FillRect(cr, PickerRect{0, 0, width, gtk_widget_get_allocated_height(widget)},
             kPickerListColour);
    for (int i = 0; i < static_cast<int>(state->printers.size()); ++i) {
        DrawRow(cr, *state, i, width);
    }
    return TRUE;
}

gboolean OnDrawButton(GtkWidget* widget, cairo_t* cr, gpointer data) {
    const auto* state = static_cast<const PickerState*>(data);
    const bool isPrint = g_strcmp0(gtk_widget_get_name(widget), kPrintButtonWidgetName) == 0;
    const bool pressed = (gtk_widget_get_state_flags(widget) & GTK_STATE_FLAG_ACTIVE) != 0;
    const PickerButtonStyle style =
        StylePickerButton(isPrint ? PickerButton::kPrint : PickerButton::kCancel, pressed);
    const PickerRect rect{0, 0, gtk_widget_get_allocated_width(widget),
                          gtk_widget_get_allocated_height(widget)};
    RoundedBox(cr, rect, kCardCornerDiameter, style.fill, &style.outline);
    const char* caption = gtk_button_get_label(GTK_BUTTON(widget));
    DrawLine(cr, caption != nullptr ? caption : "", state->itemFontSelected.get(), rect, style.text,
             PANGO_ALIGN_CENTER);
    return TRUE;  // the theme's button would paint over ours
}

gboolean OnDrawBackground(GtkWidget* widget, cairo_t* cr, gpointer) {
    FillRect(cr,
             PickerRect{0, 0, gtk_widget_get_allocated_width(widget),
                        gtk_widget_get_allocated_height(widget)},
             kPickerDialogColour);
    return FALSE;  // the children draw next
}

void Finish(PickerState& state) {
    if (state.loop != nullptr && g_main_loop_is_running(state.loop)) {
        g_main_loop_quit(state.loop);
    }
}

void Cancel(PickerState& state) {
    state.selectedName.clear();
    Finish(state);
}

// Print: the selected printer, if any; without a selection nothing happens.
void Choose(PickerState& state) {
    if (state.selectedRow < 0 || state.selectedRow >= static_cast<int>(state.printers.size())) {
        return;
    }
    state.selectedName = state.printers[static_cast<std::size_t>(state.selectedRow)].name;
    Finish(state);
}

void Select(PickerState& state, int row) {
    const int count = static_cast<int>(state.printers.size());
    if (count == 0) {
        return;
    }
    state.selectedRow = std::clamp(row, 0, count - 1);
    gtk_widget_queue_draw(state.list);
    // Keep the selected row in sight.
    GtkAdjustment* adjustment =
        gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(state.scroller));
    const double top = state.selectedRow * kPrinterRowHeight;
    const double bottom = top + kPrinterRowHeight;
    const double value = gtk_adjustment_get_value(adjustment);
    const double page = gtk_adjustment_get_page_size(adjustment);
    if (top < value) {
        gtk_adjustment_set_value(adjustment, top);
    } else if (bottom > value + page) {
        gtk_adjustment_set_value(adjustment, bottom - page);
    }
}

gboolean OnListButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    auto* state = static_cast<PickerState*>(data);
    if (event->button != GDK_BUTTON_PRIMARY) {
        return FALSE;
    }
    gtk_widget_grab_focus(widget);
    const int row = static_cast<int>(event->y) / kPrinterRowHeight;
    if (event->y < 0 || row >= static_cast<int>(state->printers.size())) {
        return TRUE;  // below the last row: nothing to select or choose
    }
    if (event->type == GDK_2BUTTON_PRESS) {
        Choose(*state);
    } else if (event->type == GDK_BUTTON_PRESS) {
        Select(*state, row);
    }
    return TRUE;
}

gboolean OnListKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* state = static_cast<PickerState*>(data);
    GtkAdjustment* adjustment =
        gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(state->scroller));
    const int pageRows =
        std::max(1, static_cast<int>(gtk_adjustment_get_page_size(adjustment)) / kPrinterRowHeight);
    switch (event->keyval) {
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up:
            Select(*state, state->selectedRow - 1);
            return TRUE;
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down:
            Select(*state, state->selectedRow + 1);
            return TRUE;
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home:
            Select(*state, 0);
            return TRUE;
        case GDK_KEY_End:
        case GDK_KEY_KP_End:
            Select(*state, static_cast<int>(state->printers.size()) - 1);
            return TRUE;
        case GDK_KEY_Page_Up:
        case GDK_KEY_KP_Page_Up:
            Select(*state, state->selectedRow - pageRows);
            return TRUE;
        case GDK_KEY_Page_Down:
        case GDK_KEY_KP_Page_Down:
            Select(*state, state->selectedRow + pageRows);
            return TRUE;
        default:
            return FALSE;
    }
}

gboolean OnWindowKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    switch (event->keyval) {
        case GDK_KEY_Escape:
            Cancel(*static_cast<PickerState*>(data));
            return TRUE;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            // No button is the default: Enter must not print by accident.
            return TRUE;
        default:
            return FALSE;
    }
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    Cancel(*static_cast<PickerState*>(data));
    return TRUE;  // destroyed once the loop has ended
}

void OnDestroy(GtkWidget*, gpointer data) {
    auto* state = static_cast<PickerState*>(data);
    state->window = nullptr;  // gone with its owner
    Cancel(*state);
}

void OnRealize(GtkWidget* widget, gpointer) {
    // Dark window decorations where the window manager honours the hint.
    GdkWindow* window = gtk_widget_get_window(widget);
    if (GDK_IS_X11_WINDOW(window)) {
        char variant[] = "dark";  // the call takes a mutable string it only reads
        gdk_x11_window_set_theme_variant(window, variant);
    }
}

GtkWidget* MakeLabel(const char* text, const PangoFontDescription* font, const PickerRect& rect,
                     bool centred) {
    GtkWidget* label = gtk_label_new(text);
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_font_desc_new(font));
    // Pango takes 16-bit channels: 0xAB becomes 0xABAB.
    const auto channel = [](int shift) {
        return static_cast<guint16>(((kPickerLabelColour >> shift) & 0xFF) * 0x101);
    };
    pango_attr_list_insert(attributes,
                           pango_attr_foreground_new(channel(16), channel(8), channel(0)));
    gtk_label_set_attributes(GTK_LABEL(label), attributes);
    pango_attr_list_unref(attributes);
    gtk_label_set_justify(GTK_LABEL(label), centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
    gtk_label_set_xalign(GTK_LABEL(label), centred ? 0.5f : 0.0f);
    gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    gtk_widget_set_size_request(label, rect.width, rect.height);
    return label;
}

GtkWidget* MakeButton(PickerState& state, const char* caption, const char* name,
                      const PickerRect& rect) {
    GtkWidget* button = gtk_button_new_with_label(caption);
    gtk_widget_set_name(button, name);
    gtk_widget_set_size_request(button, rect.width, rect.height);
    gtk_widget_set_can_default(button, FALSE);
    g_signal_connect(button, "draw", G_CALLBACK(OnDrawButton), &state);
    return button;
}

void StyleScrollbar(GtkWidget* scrollbar) {
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css,
                                    "scrollbar { background-color: #1C1E24; border: none; }"
                                    "scrollbar slider { background-color: #3C404C; "
                                    "min-width: 8px; border-radius: 4px; }",
                                    -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(scrollbar), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
}

void BuildDialog(PickerState& state, GtkWindow* owner) {
    const PickerLayout layout = PrinterPickerLayout();
    state.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(state.window);
    gtk_window_set_title(window, kPrinterPickerTitle);
    gtk_window_set_modal(window, TRUE);
    if (owner != nullptr) {
        gtk_window_set_transient_for(window, owner);
        gtk_window_set_destroy_with_parent(window, TRUE);
    }
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    g_signal_connect(state.window, "realize", G_CALLBACK(OnRealize), nullptr);
    g_signal_connect(state.window, "key-press-event", G_CALLBACK(OnWindowKeyPress), &state);
    g_signal_connect(state.window, "delete-event", G_CALLBACK(OnDelete), &state);
    g_signal_connect(state.window, "destroy", G_CALLBACK(OnDestroy), &state);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, layout.width, layout.height);
    g_signal_connect(fixed, "draw", G_CALLBACK(OnDrawBackground), nullptr);
    gtk_container_add(GTK_CONTAINER(state.window), fixed);

    GtkFixed* place = GTK_FIXED(fixed);
    gtk_fixed_put(place, MakeLabel(kHeadingText, state.headingFont.get(), layout.heading, false),
                  layout.heading.x, layout.heading.y);

    if (state.printers.empty()) {
        GtkWidget* notice = MakeLabel(kNoPrinterText, state.itemFont.get(), layout.notice, true);
        gtk_widget_set_name(notice, kNoPrinterNoticeWidgetName);
        gtk_fixed_put(place, notice, layout.notice.x, layout.notice.y);
    } else {
        state.scroller = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(state.scroller), GTK_POLICY_NEVER,
                                       GTK_POLICY_AUTOMATIC);
        gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(state.scroller), FALSE);
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(state.scroller), GTK_SHADOW_NONE);
        gtk_widget_set_size_request(state.scroller, layout.list.width, layout.list.height);
        StyleScrollbar(gtk_scrolled_window_get_vscrollbar(GTK_SCROLLED_WINDOW(state.scroller)));

        state.list = gtk_drawing_area_new();
        gtk_widget_set_name(state.list, kPrinterListWidgetName);
        gtk_widget_set_can_focus(state.list, TRUE);
        gtk_widget_add_events(state.list, GDK_BUTTON_PRESS_MASK | GDK_KEY_PRESS_MASK);
        gtk_widget_set_size_request(state.list, -1,
                                    static_cast<int>(state.printers.size()) * kPrinterRowHeight);
        g_signal_connect(state.list, "draw", G_CALLBACK(OnDrawList), &state);
        g_signal_connect(state.list, "button-press-event", G_CALLBACK(OnListButtonPress), &state);
        g_signal_connect(state.list, "key-press-event", G_CALLBACK(OnListKeyPress), &state);
        gtk_container_add(GTK_CONTAINER(state.scroller), state.list);
        gtk_fixed_put(place, state.scroller, layout.list.x, layout.list.y);

        GtkWidget* print = MakeButton(state, "Print", kPrintButtonWidgetName, layout.printButton);
        g_signal_connect_swapped(print, "clicked", G_CALLBACK(+[](PickerState* s) { Choose(*s); }),
                                 &state);
        gtk_fixed_put(place, print, layout.printButton.x, layout.printButton.y);
        state.selectedRow = 0;  // the default printer, when there is one
    }

    GtkWidget* cancel = MakeButton(state, "Cancel", kCancelButtonWidgetName, layout.cancelButton);
    g_signal_connect_swapped(cancel, "clicked", G_CALLBACK(+[](PickerState* s) { Cancel(*s); }),
                             &state);
    gtk_fixed_put(place, cancel, layout.cancelButton.x, layout.cancelButton.y);
}

}  // namespace

std::u16string ShowPrinterPicker(GtkWindow* owner, const std::vector<PrinterEntry>& printers) {
    PickerState state;
    state.printers = printers;
    BuildDialog(state, owner);
    gtk_widget_show_all(state.window);
    if (state.list != nullptr) {
        gtk_widget_grab_focus(state.list);
    }
    state.loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(state.loop);
    g_main_loop_unref(state.loop);
    state.loop = nullptr;
    if (state.window != nullptr) {
        GtkWidget* window = state.window;
        g_signal_handlers_disconnect_by_data(window, &state);
        gtk_widget_destroy(window);
    }
    return state.selectedName;
}

std::u16string ShowPrinterPicker(GtkWindow* owner) {
    return ShowPrinterPicker(owner, InstalledPrinters());
}

}  // namespace kestrum
