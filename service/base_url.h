#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// A server address as the base of an endpoint address: trailing "/" and "\" removed, and
// "https://" put in front when it names no scheme. An empty base stays empty.
std::u16string NormalizeBaseUrl(std::u16string_view base);

}  // namespace kestrum
