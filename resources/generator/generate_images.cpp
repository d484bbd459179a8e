// Draws the player's images: the splash and the application icon in several sizes, plus a
// Windows icon file holding the icon sizes as PNG entries. The images in resources/ are this
// program's output; `check` tells whether they still are.
//
//   kestrum-image-generator write <dir>   (re)writes the images into <dir>
//   kestrum-image-generator check <dir>   compares the images in <dir> with a fresh drawing

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSplashWidth = 700;
constexpr int kSplashHeight = 169;
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

struct Colour {
    double r, g, b;
};
constexpr Colour kNavyTop{0.114, 0.180, 0.314};
constexpr Colour kNavyBottom{0.055, 0.098, 0.188};
constexpr Colour kAmberLight{1.000, 0.749, 0.290};
constexpr Colour kAmberDark{0.898, 0.502, 0.110};
constexpr Colour kSubtitle{0.624, 0.702, 0.820};

void AddStop(cairo_pattern_t* pattern, double offset, Colour c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, alpha);
}

void RoundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -kQuarter, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, kQuarter);
    cairo_arc(cr, x + radius, y + height - radius, radius, kQuarter, 2 * kQuarter);
    cairo_arc(cr, x + radius, y + radius, radius, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cr);
}

void FillNavy(cairo_t* cr, double top, double bottom, double alpha) {
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, top, 0, bottom);
    AddStop(fill, 0, kNavyTop, alpha);
    AddStop(fill, 1, kNavyBottom, alpha);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
}

// The product mark: an amber disc with a white K whose arms open like a bird's wings.
void DrawMark(cairo_t* cr, double cx, double cy, double radius) {
    cairo_save(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
    cairo_pattern_t* disc = cairo_pattern_create_linear(cx, cy - radius, cx, cy + radius);
    AddStop(disc, 0, kAmberLight);
    AddStop(disc, 1, kAmberDark);
    cairo_set_source(cr, disc);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);

    const double u = radius / 10.0;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.9 * u);
    // Stem.
    cairo_move_to(cr, cx - 3.4 * u, cy - 5.2 * u);
    cairo_line_to(cr, cx - 3.4 * u, cy + 5.2 * u);
    cairo_stroke(cr);
    // Upper arm: a curve sweeping up and out, the wing.
    cairo_move_to(cr, cx - 3.0 * u, cy + 0.6 * u);
    cairo_curve_to(cr, cx + 0.2 * u, cy - 0.6 * u, cx + 2.6 * u, cy - 3.0 * u, cx + 4.2 * u,
                   cy - 5.4 * u);
    cairo_stroke(cr);
    // Lower arm: straight down to the right.
    cairo_move_to(cr, cx - 0.6 * u, cy - 0.1 * u);
    cairo_line_to(cr, cx + 4.0 * u, cy + 5.2 * u);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Text drawn with fixed font options, so that the result depends on the font and not on the
// machine's hinting settings.
void DrawText(cairo_t* cr, const char* text, const char* font, double x, double baseline,
              Colour colour, double alpha) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);

    PangoFontDescription* description = pango_font_description_from_string(font);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    pango_layout_set_text(layout, text, -1);

    const double ascent = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
    cairo_move_to(cr, x, baseline - ascent);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

Surface DrawSplash() {
    Surface surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSplashWidth, kSplashHeight)};
    Context context{cairo_create(surface.get())};
    cairo_t* cr = context.get();

    // A card on a transparent ground: its rounded corners and soft edge show the desktop.
    RoundedRectangle(cr, 8.5, 8.5, kSplashWidth - 17, kSplashHeight - 17, 34);
    FillNavy(cr, 8, kSplashHeight - 8, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.14);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    DrawMark(cr, 92, kSplashHeight / 2.0, 50);
    DrawText(cr, "Kestrum", "DejaVu Sans Bold 46px", 170, 92, {1, 1, 1}, 1);
    DrawText(cr, "Desktop Player", "DejaVu Sans 21px", 172, 124, kSubtitle, 1);

    // A thin accent under the name, and three fading dots: the player is on its way.
    cairo_set_source_rgba(cr, kAmberLight.r, kAmberLight.g, kAmberLight.b, 0.9);
    RoundedRectangle(cr, 172, 100, 64, 3, 1.5);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_arc(cr, 604 + 22 * i, kSplashHeight / 2.0, 5.5, 0, 2 * std::numbers::pi);
        cairo_set_source_rgba(cr, kAmberLight.r, kAmberLight.g, kAmberLight.b, 1.0 - 0.3 * i);
        cairo_fill(cr);
    }
    cairo_surface_flush(surface.get());
    return surface;
}

Surface DrawIcon(int size) {
    Surface surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size)};
    Context context{cairo_create(surface.get())};
    cairo_t* cr = context.get();
    cairo_scale(cr, size / 256.0, size / 256.0);

    RoundedRectangle(cr, 8, 8, 240, 240, 52);
    FillNavy(cr, 8, 248, 1);
    cairo_new_path(cr);
    DrawMark(cr, 128, 128, 92);
    cairo_surface_flush(surface.get());
    return surface;
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::string*>(closure);
    bytes->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string EncodePng(cairo_surface_t* surface) {
    std::string bytes;
    if (cairo_surface_write_to_png_stream(surface, AppendBytes, &bytes) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "PNG encoding failed\n");
        std::exit(2);
    }
    return bytes;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// An .ico whose entries are PNG images (read by Windows Vista and later, and by windres).
std::string BuildIco(const std::vector<std::pair<int, std::string>>& pngs) {
    std::string ico;
    PutLittleEndian(ico, 0, 2);  // reserved
    PutLittleEndian(ico, 1, 2);  // icon
    PutLittleEndian(ico, static_cast<std::uint32_t>(pngs.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pngs.size());
    for (const auto& [size, png] : pngs) {
        const auto side = static_cast<std::uint32_t>(size >= 256 ? 0 : size);  // 0 means 256
        PutLittleEndian(ico, side, 1);
        PutLittleEndian(ico, side, 1);
        PutLittleEndian(ico, 0, 1);   // no palette
        PutLittleEndian(ico, 0, 1);   // reserved
        PutLittleEndian(ico, 1, 2);   // planes
        PutLittleEndian(ico, 32, 2);  // bits per pixel
        PutLittleEndian(ico, static_cast<std::uint32_t>(png.size()), 4);
        PutLittleEndian(ico, offset, 4);
        offset += static_cast<std::uint32_t>(png.size());
    }
    for (const auto& entry : pngs) {
        ico += entry.second;
    }
    return ico;
}

struct Image {
    std::string name;
    Surface surface;
};

std::vector<Image> DrawAll() {
    std::vector<Image> images;
    images.push_back({"splash.png", DrawSplash()});
    for (int size : kIconSizes) {
        images.push_back({"icon/kestrum-" + std::to_string(size) + ".png", DrawIcon(size)});
    }
    return images;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

int Write(const std::string& dir) {
    std::vector<std::pair<int, std::string>> iconPngs;
    for (const auto& image : DrawAll()) {
        const std::string png = EncodePng(image.surface.get());
        if (!WriteFile(dir + "/" + image.name, png)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), image.name.c_str());
            return 1;
        }
        if (image.name.starts_with("icon/")) {
            iconPngs.emplace_back(cairo_image_surface_get_width(image.surface.get()), png);
        }
    }
    if (!WriteFile(dir + "/icon/kestrum.ico", BuildIco(iconPngs))) {
        std::fprintf(stderr, "cannot write %s/icon/kestrum.ico\n", dir.c_str());
        return 1;
    }
    return 0;
}

// Pixels may differ a little between versions of the font, cairo or pixman; a changed drawing
// differs in far more than that.
bool SameImage(const std::string& name, cairo_surface_t* expected, cairo_surface_t* actual) {
    const int width = cairo_image_surface_get_width(expected);
    const int height = cairo_image_surface_get_height(expected);
    if (cairo_surface_status(actual) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_format(actual) != CAIRO_FORMAT_ARGB32 ||
        cairo_image_surface_get_width(actual) != width ||
        cairo_image_surface_get_height(actual) != height) {
        std::fprintf(stderr, "%s: missing, or not a %dx%d PNG with alpha\n", name.c_str(), width,
                     height);
        return false;
    }
    long differing = 0;
    for (int y = 0; y < height; ++y) {
        const auto* a = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(expected) + y * cairo_image_surface_get_stride(expected));
        const auto* b = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(actual) + y * cairo_image_surface_get_stride(actual));
        for (int x = 0; x < width; ++x) {
            for (int shift = 0; shift < 32; shift += 8) {
                const int da = static_cast<int>((a[x] >> shift) & 0xFF);
                const int db = static_cast<int>((b[x] >> shift) & 0xFF);
                if (std::abs(da - db) > 24) {
                    ++differing;
                    break;
                }
            }
        }
    }
    const long allowed = static_cast<long>(width) * height / 100;
    if (differing > allowed) {
        std::fprintf(stderr, "%s: %ld of %d pixels differ from the drawing (at most %ld may)\n",
                     name.c_str(), differing, width * height, allowed);
        return false;
    }
    return true;
}

int Check(const std::string& dir) {
    bool same = true;
    std::vector<std::pair<int, std::string>> iconPngs;
    for (const auto& image : DrawAll()) {
        const std::string path = dir + "/" + image.name;
        Surface stored{cairo_image_surface_create_from_png(path.c_str())};
        same = SameImage(image.name, image.surface.get(), stored.get()) && same;
        if (image.name.starts_with("icon/")) {
            std::string png;
            ReadFile(path, png);
            iconPngs.emplace_back(cairo_image_surface_get_width(image.surface.get()), png);
        }
    }
    std::string ico;
    if (!ReadFile(dir + "/icon/kestrum.ico", ico) || ico != BuildIco(iconPngs)) {
        std::fprintf(stderr, "icon/kestrum.ico: does not hold the icon PNGs\n");
        same = false;
    }
    if (!same) {
        std::fprintf(stderr, "regenerate with: kestrum-image-generator write %s\n", dir.c_str());
    }
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s write|check <dir>\n", argv[0]);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "write") {
        return Write(argv[2]);
    }
    if (command == "check") {
        return Check(argv[2]);
    }
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
