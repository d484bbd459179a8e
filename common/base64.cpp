#include "common/base64.h"

#include <cstdint>

namespace kestrum {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int AlphabetIndex(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = (static_cast<std::uint8_t>(bytes[i]) << 16) |
                                (static_cast<std::uint8_t>(bytes[i + 1]) << 8) |
                                static_cast<std::uint8_t>(bytes[i + 2]);
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(kAlphabet[(v >> 6) & 63]);
        out.push_back(kAlphabet[v & 63]);
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t v = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(rest == 2 ? kAlphabet[(v >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

std::string Base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3 + 2);
    std::uint32_t group = 0;
    int count = 0;
    for (char c : text) {
        const int index = AlphabetIndex(c);
        if (index < 0)
            break;  // "=" and any foreign character end the data
        group = (group << 6) | static_cast<std::uint32_t>(index);
        if (++count == 4) {
            out.push_back(static_cast<char>((group >> 16) & 0xFF));
            out.push_back(static_cast<char>((group >> 8) & 0xFF));
            out.push_back(static_cast<char>(group & 0xFF));
            group = 0;
            count = 0;
        }
    }
    if (count == 2) {
        out.push_back(static_cast<char>((group >> 4) & 0xFF));
    } else if (count == 3) {
        out.push_back(static_cast<char>((group >> 10) & 0xFF));
        out.push_back(static_cast<char>((group >> 2) & 0xFF));
    }
    return out;
}

}  // namespace kestrum
