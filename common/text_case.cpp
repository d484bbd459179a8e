#include "common/text_case.h"

namespace kestrum {
namespace {

template <typename Text>
bool IsSlash(typename Text::value_type c) {
    return c == '/' || c == '\\';
}

template <typename Text>
void TrimTrailing(Text& text) {
    while (!text.empty() && IsSlash<Text>(text.back()))
        text.pop_back();
}

}  // namespace

std::u16string ToLowerCopy(std::u16string_view text) {
    std::u16string out(text);
    for (auto& unit : out)
        unit = ToLowerUnit(unit);
    return out;
}

std::u16string ToLowerAscii(std::u16string_view text) {
    return ToLowerCopy(text);
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

void TrimTrailingSlashes(std::u16string& text) {
    TrimTrailing(text);
}
void TrimTrailingSlashes(std::string& text) {
    TrimTrailing(text);
}

void TrimLeadingSlashes(std::u16string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsSlash<std::u16string>(text[start]))
        ++start;
    text.erase(0, start);
}

}  // namespace kestrum
