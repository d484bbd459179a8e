#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum {

// "Kestrum|player" for a start with arguments, "Kestrum|init" for a plain start.
std::u16string InstanceKey(bool startedWithArguments);

// 64-bit FNV-1a over the key's UTF-16 code units (A-Z folded to a-z), from our own basis.
std::uint64_t InstanceKeyHash(std::u16string_view key);

// "Local\MolvanePlayer.WebView2." followed by the hash in lower-case hexadecimal.
std::u16string InstanceMutexName(std::u16string_view key);

}  // namespace kestrum
