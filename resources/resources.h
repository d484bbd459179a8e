#pragma once

#include <string_view>

namespace kestrum {

// Images built into the program (generated from the PNG files in resources/). Each view holds
// the bytes of one PNG file and stays valid for the life of the process.

// The splash image: 700 x 169 pixels with an alpha channel.
std::string_view SplashPng();

// The application icon: 256 x 256 pixels with an alpha channel.
std::string_view IconPng();

// File and product version of the program.
inline constexpr std::string_view kVersionText = "4.11.0";
inline constexpr int kVersionParts[4] = {4, 11, 0, 0};

}  // namespace kestrum
