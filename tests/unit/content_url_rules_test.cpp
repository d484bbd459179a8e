#include <gtest/gtest.h>

#include "common/text_encoding.h"
#include "link/content_url_rules.h"

namespace kestrum {
namespace {

const std::u16string kServer = u"https://my-server.test";
const std::u16string S = u"https%3a%2f%2fmy-server.test";
const std::u16string E = u"https://www.youtube.com/embed/";

TEST(NormalizeYouTubeUrl, TurnsEveryUsualFormIntoTheEmbedAddress) {
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case cases[] = {
        {u"https://youtu.be/abc?t=30", E + u"abc?origin=" + S},
        {u"https://youtu.be/abc", E + u"abc?origin=" + S},
        {u"https://www.youtube.com/watch?v=abc&list=x", E + u"abc?origin=" + S},
        {u"https://www.youtube.com/watch?V=abc", E + u"abc?origin=" + S},
        {u"https://www.youtube.com/shorts/abc/", E + u"abc?origin=" + S},
        {u"https://www.youtube.com/shorts/abc?feature=share", E + u"abc?origin=" + S},
        {u"https://www.youtube.com/live/abc?si=x", E + u"abc?origin=" + S},
        {u"https://www.youtube.com/embed/abc", u"https://www.youtube.com/embed/abc?origin=" + S},
        {u"https://www.youtube.com/embed/abc?rel=0",
         u"https://www.youtube.com/embed/abc?rel=0&origin=" + S},
        {u"https://www.youtube.com/embed/abc?origin=x",
         u"https://www.youtube.com/embed/abc?origin=x"},
        {u"https://www.youtube.com/embed/abc/", u"https://www.youtube.com/embed/abc/?origin=" + S},
        {u"https://YOUTU.BE/AbC", E + u"AbC?origin=" + S},  // the identifier keeps its case
        {u"https://www.youtube.com/@channel", u"https://www.youtube.com/@channel"},
        {u"https://www.youtube.com/watch?v=", u"https://www.youtube.com/watch?v="},
        {u"https://youtu.be/?t=1", u"https://youtu.be/?t=1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizeYouTubeUrl(c.in, kServer), c.out) << Utf16ToUtf8(c.in);
    }
}

TEST(ContentUrlPredicates, RecogniseYouTubeAndZoomHosts) {
    struct Case {
        std::u16string address;
        bool youtube;
        bool zoom;
    };
    const Case cases[] = {
        {u"https://www.YouTube.com/watch?v=1", true, false},
        {u"HTTPS://YOUTU.BE/x", true, false},
        {u"https://us02web.zoom.us/j/123", false, true},
        {u"https://zoom.us/j/123", false, true},
        {u"https://ZOOM.US/j/1", false, true},
        {u"https://notzoom.us/j/1", false, false},  // no dot before the domain's letters
        {u"https://cdn.test/video.mp4", false, false},
        {u"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsYouTubeUrl(c.address), c.youtube) << Utf16ToUtf8(c.address);
        EXPECT_EQ(IsZoomUrl(c.address), c.zoom) << Utf16ToUtf8(c.address);
    }
}

}  // namespace
}  // namespace kestrum
