#include "tools/kestrum_platform/pdf_document.h"

#include <cstdio>
#include <vector>

namespace kestrum::platform {
namespace {

struct Colour {
    int red, green, blue;
};

constexpr Colour kPageColours[] = {{0x1F, 0x64, 0xC8}, {0x28, 0xA0, 0x50}, {0xE6, 0x78, 0x1E}};

Colour ColourOfPage(int page) {
    const int count = static_cast<int>(sizeof kPageColours / sizeof kPageColours[0]);
    return kPageColours[((page > 0 ? page : 1) - 1) % count];
}

std::string EscapePdfText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F)
            out += c;
    }
    return out;
}

// A colour component as PDF wants it (0 to 1) that renders back to the same byte.
std::string Component(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.4f", value / 255.0);
    return text;
}

std::string PageStream(const std::string& line, int page, int pageCount) {
    const Colour colour = ColourOfPage(page);
    // The block spans the upper half of the page, where a viewer shows it first.
    return Component(colour.red) + " " + Component(colour.green) + " " + Component(colour.blue) +
           " rg 72 460 468 240 re f\n0 g BT /F1 24 Tf 72 720 Td (" + EscapePdfText(line) +
           ") Tj 0 -420 Td (page " + std::to_string(page) + " of " + std::to_string(pageCount) +
           ") Tj ET\n";
}

}  // namespace

std::string SamplePdf(const std::string& line, int pageCount) {
    if (pageCount < 1)
        pageCount = 1;
    // Objects: 1 catalogue, 2 page tree, 3 font, then a page and its contents per page.
    std::string kids;
    for (int page = 0; page < pageCount; ++page)
        kids += (kids.empty() ? "" : " ") + std::to_string(4 + 2 * page) + " 0 R";
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pageCount) + " >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    for (int page = 1; page <= pageCount; ++page) {
        const std::string stream = PageStream(line, page, pageCount);
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " +
                          std::to_string(5 + 2 * (page - 1)) +
                          " 0 R /Resources << /Font << /F1 3 0 R >> >> >>");
        objects.push_back("<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream +
                          "endstream");
    }
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace kestrum::platform
