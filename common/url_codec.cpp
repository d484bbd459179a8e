#include "common/url_codec.h"

#include <optional>

#include "common/text_encoding.h"

namespace kestrum {
namespace {

bool IsStreamBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the two characters after a "%" the way `stream >> std::hex >> int` would.
std::optional<int> ReadHexPair(std::string_view pair) {
    std::size_t i = 0;
    while (i < pair.size() && IsStreamBlank(pair[i]))
        ++i;
    bool negative = false;
    if (i < pair.size() && (pair[i] == '+' || pair[i] == '-')) {
        negative = pair[i] == '-';
        ++i;
    }
    int value = 0;
    std::size_t digits = 0;
    for (; i < pair.size() && HexDigitValue(pair[i]) >= 0; ++i, ++digits) {
        value = value * 16 + HexDigitValue(pair[i]);
    }
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::u16string UrlDecode(std::u16string_view text) {
    const std::string bytes = Utf16ToUtf8(text);
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (bytes[i] == '%' && i + 2 < bytes.size()) {
            if (const auto value = ReadHexPair(std::string_view(bytes).substr(i + 1, 2))) {
                out.push_back(static_cast<char>(*value & 0xFF));
                i += 3;
                continue;
            }
        }
        out.push_back(bytes[i]);
        ++i;
    }
    return Utf8ToUtf16(out);
}

std::u16string UrlEncode(std::u16string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : Utf16ToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        const bool keep = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                          (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                          byte == '_' || byte == '~';
        if (keep) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        }
    }
    return Utf8ToUtf16(out);
}

}  // namespace kestrum
