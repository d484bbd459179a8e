#include <gtest/gtest.h>

#include <set>

#include "app/runtime_requirements.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

TEST(RuntimeRequirements, AComponentIsMissingOnlyWhenNoneOfItsElementsIsThere) {
    struct Case {
        std::set<std::string_view> present;
        std::vector<std::string> missing;
    };
    const std::set<std::string_view> full{"qtdemux", "avdec_h264", "avdec_aac", "matroskademux",
                                          "vp8dec",  "vp9dec",     "vorbisdec", "opusdec"};
    std::set<std::string_view> withoutLibav = full;
    withoutLibav.erase("avdec_h264");
    withoutLibav.erase("avdec_aac");
    std::set<std::string_view> otherDecoders = full;
    otherDecoders.erase("avdec_h264");
    otherDecoders.erase("avdec_aac");
    otherDecoders.insert("openh264dec");
    otherDecoders.insert("faad");
    const Case cases[] = {
        {full, {}},
        {withoutLibav, {"H.264 video decoder", "AAC audio decoder"}},
        {otherDecoders, {}},
        {{},
         {"MP4 container", "H.264 video decoder", "AAC audio decoder", "WebM container",
          "VP8 video decoder", "VP9 video decoder", "Vorbis audio decoder", "Opus audio decoder"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MissingMediaComponents(
                      [&](std::string_view element) { return c.present.count(element) > 0; }),
                  c.missing);
    }
}

TEST(RuntimeRequirements, TheBoxNamesEachProblemAndWhatToInstallInBothLanguages) {
    RuntimeProblems problems;
    EXPECT_FALSE(problems.Any());
    problems.extension = "not found: /opt/kestrum/web-extensions/libkestrum-web-extension.so";
    problems.missingMedia = {"H.264 video decoder", "AAC audio decoder"};
    EXPECT_TRUE(problems.Any());
    const std::string text = Utf16ToUtf8(RuntimeProblemText(problems));
    EXPECT_NE(text.find("web extension is missing or cannot be loaded (not found: "
                        "/opt/kestrum/web-extensions/libkestrum-web-extension.so)"),
              std::string::npos);
    EXPECT_NE(text.find("missing: H.264 video decoder, AAC audio decoder."), std::string::npos);
    EXPECT_NE(text.find("gstreamer1.0-libav"), std::string::npos);
    EXPECT_NE(text.find("ملحق الويب"), std::string::npos);
    EXPECT_NE(text.find("مكونات تشغيل الفيديو مفقودة"), std::string::npos);
    EXPECT_EQ(text.find("WebKitGTK"), std::string::npos) << "the engine is fine here";
    EXPECT_LT(text.find("Then start"), text.find("\n\n")) << "English first, then Arabic";

    RuntimeProblems old;
    old.engineTooOld = "2.34";
    const std::string oldText = Utf16ToUtf8(RuntimeProblemText(old));
    EXPECT_NE(oldText.find("WebKitGTK 2.34 is too old"), std::string::npos);
    EXPECT_EQ(oldText.find("web extension"), std::string::npos);
}

}  // namespace
}  // namespace kestrum
