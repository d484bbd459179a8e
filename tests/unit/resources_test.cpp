#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "resources/resources.h"

namespace kestrum {
namespace {

struct PngHeader {
    std::uint32_t width;
    std::uint32_t height;
    int bitDepth;
    int colourType;
};

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The signature and the IHDR chunk, which a PNG file must begin with.
bool ReadPngHeader(std::string_view png, PngHeader& header) {
    constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
    if (png.size() < 33 || png.substr(0, 8) != kSignature || png.substr(12, 4) != "IHDR") {
        return false;
    }
    header = {BigEndian32(png, 16), BigEndian32(png, 20), static_cast<unsigned char>(png[24]),
              static_cast<unsigned char>(png[25])};
    return true;
}

TEST(Resources, EmbedPngsWithAlphaOfTheShippedSizes) {
    struct Case {
        const char* name;
        std::string_view png;
        std::uint32_t width;
        std::uint32_t height;
    };
    const Case cases[] = {
        {"splash", SplashPng(), 700, 169},
        {"icon", IconPng(), 256, 256},
    };
    for (const auto& c : cases) {
        PngHeader header{};
        ASSERT_TRUE(ReadPngHeader(c.png, header)) << c.name;
        EXPECT_EQ(header.width, c.width) << c.name;
        EXPECT_EQ(header.height, c.height) << c.name;
        EXPECT_EQ(header.bitDepth, 8) << c.name;
        EXPECT_EQ(header.colourType, 6) << c.name << ": RGB with alpha";
        // The file ends with its IEND chunk: nothing was cut off while embedding.
        EXPECT_EQ(c.png.substr(c.png.size() - 8, 4), "IEND") << c.name;
    }
}

}  // namespace
}  // namespace kestrum
