#include "browser/hresult.h"

namespace kestrum {

HResult HResultFromWin32(std::int64_t error) {
    if (error <= 0)
        return static_cast<HResult>(error);
    return static_cast<HResult>(0x80070000u | (static_cast<std::uint32_t>(error) & 0xFFFFu));
}

std::u16string FormatHResult(HResult value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(value);
    std::u16string text = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text.push_back(kDigits[(bits >> shift) & 0xFu]);
    return text;
}

}  // namespace kestrum
