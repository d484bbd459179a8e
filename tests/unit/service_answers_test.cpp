#include <gtest/gtest.h>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/content_data_request.h"
#include "service/version_check.h"

namespace kestrum {
namespace {

TEST(VersionAnswer, ComparesVersionsAsNumbers) {
    struct Case {
        std::string body;
        bool update;
        bool mandatory;
        std::u16string link;
    };
    const Case cases[] = {
        {R"({"version":4.12,"is_required":0,"link":"https://d.test/k.exe"})", true, false,
         u"https://d.test/k.exe"},
        {R"({"version":"4.9"})", true, false, u""},  // 4.9 > 4.11 as numbers
        {R"({"version":4.100,"is_required":1})", false, false, u""},
        {R"({"version":4.11,"is_required":1})", false, false, u""},
        {R"({"version":"abc"})", false, false, u""},
        {R"({"version":"  5.0 beta","is_required":"1"})", true, true, u""},
        {R"({"version":"4.12.1","is_required":1.0})", true, true, u""},
        {R"({"version":5,"is_required":true})", true, false, u""},
        {R"({"version":5,"is_required":"true"})", true, false, u""},
        {R"({"version":5,"is_required":2})", true, false, u""},
        {R"({"version":5,"link":7})", true, false, u""},
        {R"({"version":null})", false, false, u""},
        {R"({"version":"1e999"})", false, false, u""},  // out of range counts as 0
        {R"({"version":1.7e308})", true, false, u""},
        // Numbers out of a member's range are of the wrong type: not required.
        {R"({"version":5,"is_required":1e300})", true, false, u""},
        {R"({"version":5,"is_required":-1e300})", true, false, u""},
        {R"({"version":5,"is_required":9223372036854775808})", true, false, u""},
        {R"({"version":5,"is_required":18446744073709551617})", true, false, u""},
        {R"({"version":5,"is_required":18446744073709551615})", true, false, u""},
        {R"({"version":5,"is_required":1.9})", true, true, u""},  // its integer part is 1
        {R"({"newest":9})", false, false, u""},
        {R"([{"version":9}])", false, false, u""},
        {"<html>500</html>", false, false, u""},
        {"", false, false, u""},
    };
    for (const auto& c : cases) {
        const VersionCheckResult result = ReadVersionAnswer(c.body, 4.11);
        EXPECT_EQ(result.hasUpdate, c.update) << c.body;
        EXPECT_EQ(result.mandatory, c.mandatory) << c.body;
        EXPECT_EQ(result.downloadUrl, c.link) << c.body;
    }
}

// Answers written with the profile's member names.
std::string Answer(const std::string& dataMembers, const std::string& topMembers = "") {
    const auto names = ProfileJson(ProfileItem::kContentMembers);
    std::string body = "{\"" + names["data"].get<std::string>() + "\":{" + dataMembers + "}";
    if (!topMembers.empty())
        body += "," + topMembers;
    return body + "}";
}

std::string Name(const char* role) {
    return "\"" + ProfileJson(ProfileItem::kContentMembers)[role].get<std::string>() + "\"";
}

TEST(ContentAnswer, ReadsFieldsWithTheirDefaults) {
    const std::string full =
        Answer(Name("type") + ":\"pdf\"," + Name("url") + ":\"https://c.test/a.pdf\"," +
                   Name("youtubeUrl") + ":\"https://youtu.be/x\"," + Name("numericId") + ":-7",
               Name("watermark") + ":\"learner 9\"");
    const auto content = ReadContentAnswer(full);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->type, "pdf");
    EXPECT_EQ(content->url, "https://c.test/a.pdf");
    EXPECT_EQ(content->youtubeUrl, "https://youtu.be/x");
    EXPECT_EQ(content->watermark, "learner 9");
    EXPECT_EQ(content->numericId, -7);

    struct Case {
        const char* name;
        std::string body;
        bool ok;
        std::string type;
        std::string watermark;
        std::int32_t numericId;
    };
    const Case cases[] = {
        {"empty object", "{}", true, "video", "", 1},
        {"empty array", "[]", true, "video", "", 1},
        {"a bare number", "42", true, "video", "", 1},
        {"nulls take defaults", Answer(Name("type") + ":null," + Name("numericId") + ":null"), true,
         "video", "", 1},
        {"watermark inside data is not seen", Answer(Name("watermark") + ":\"w\""), true, "video",
         "", 1},
        {"data as a string: the top level is read",
         "{" + Name("data") + ":\"x\"," + Name("type") + ":\"pdf\"}", true, "pdf", "", 1},
        {"fraction truncated", Answer(Name("numericId") + ":12.9"), true, "video", "", 12},
        {"boolean number", Answer(Name("numericId") + ":true"), true, "video", "", 1},
        {"type of the wrong kind", Answer(Name("type") + ":5"), false, "", "", 0},
        {"number as text", Answer(Name("numericId") + ":\"5\""), false, "", "", 0},
        // A number whose integer part does not fit 32 bits is of the wrong type, like a text.
        {"largest", Answer(Name("numericId") + ":2147483647.9"), true, "video", "", 2147483647},
        {"smallest", Answer(Name("numericId") + ":-2147483648.9"), true, "video", "",
         -2147483647 - 1},
        {"2^31", Answer(Name("numericId") + ":2147483648"), false, "", "", 0},
        {"2^31 written as a fraction", Answer(Name("numericId") + ":2147483648.0"), false, "", "",
         0},
        {"-2^31 - 1", Answer(Name("numericId") + ":-2147483649"), false, "", "", 0},
        {"2^63 (unsigned)", Answer(Name("numericId") + ":9223372036854775808"), false, "", "", 0},
        {"1e40", Answer(Name("numericId") + ":1e40"), false, "", "", 0},
        {"-1e40", Answer(Name("numericId") + ":-1e40"), false, "", "", 0},
        {"not JSON", "<html>", false, "", "", 0},
    };
    for (const auto& c : cases) {
        const auto read = ReadContentAnswer(c.body);
        ASSERT_EQ(read.has_value(), c.ok) << c.name;
        if (!read)
            continue;
        EXPECT_EQ(read->type, c.type) << c.name;
        EXPECT_EQ(read->watermark, c.watermark) << c.name;
        EXPECT_EQ(read->numericId, c.numericId) << c.name;
    }
}

// Each build asks with its own query, so the service names that system's download, and a
// Linux build never offers a Windows installer.
TEST(VersionCheck, EachBuildAsksForItsOwnSystem) {
    struct Case {
        BuildPlatform platform;
        std::u16string server;
        std::u16string address;
    };
    const Case cases[] = {
        {BuildPlatform::kLinux, u"",
         u"https://localhost:8443/api/v1/desktop/version?platform=linux"},
        {BuildPlatform::kLinux, u"links.test/",
         u"https://links.test/api/v1/desktop/version?platform=linux"},
        {BuildPlatform::kWindows, u"",
         u"https://localhost:8443/api/v1/desktop/version?platform=win"},
        {BuildPlatform::kWindows, u"https://links.test",
         u"https://links.test/api/v1/desktop/version?platform=win"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionCheckAddress(c.server, c.platform), c.address);
    EXPECT_EQ(ProfileText(UpdateItemsFor(BuildPlatform::kLinux).downloadUrl),
              "https://localhost:8443/desktop/kestrum/kestrum-linux-x86_64.tar.gz");
    EXPECT_EQ(ProfileText(UpdateItemsFor(BuildPlatform::kWindows).downloadUrl),
              "https://localhost:8443/desktop/kestrum/kestrum.exe");
#ifdef _WIN32
    EXPECT_EQ(ThisBuildPlatform(), BuildPlatform::kWindows);
#else
    EXPECT_EQ(ThisBuildPlatform(), BuildPlatform::kLinux);
#endif

    struct Download {
        std::u16string offered;
        std::u16string linuxKeeps;
    };
    const Download downloads[] = {
        {u"https://d.test/kestrum.exe", u""},
        {u"https://d.test/Kestrum-Setup.EXE?build=5#top", u""},
        {u"https://d.test/kestrum.msi", u""},
        {u"https://d.test/kestrum-linux-x86_64.tar.gz",
         u"https://d.test/kestrum-linux-x86_64.tar.gz"},
        {u"https://d.test/get?file=kestrum.exe", u"https://d.test/get?file=kestrum.exe"},
        {u"", u""},
    };
    for (const auto& d : downloads) {
        const VersionCheckResult answer{true, true, d.offered};
        const VersionCheckResult onLinux = KeepOwnPlatformDownload(answer, BuildPlatform::kLinux);
        EXPECT_EQ(onLinux.downloadUrl, d.linuxKeeps) << Utf16ToUtf8(d.offered);
        EXPECT_TRUE(onLinux.hasUpdate && onLinux.mandatory);
        EXPECT_EQ(KeepOwnPlatformDownload(answer, BuildPlatform::kWindows).downloadUrl, d.offered);
    }
}

TEST(ContentAnswer, FindsTheServicesMessage) {
    EXPECT_EQ(ReadServiceMessage(R"({"message":"Link expired"})"), "Link expired");
    EXPECT_EQ(ReadServiceMessage(R"({"message":5})"), "");
    EXPECT_EQ(ReadServiceMessage("<html>403</html>"), "");
}

TEST(ContentRequest, LinkValuesCannotAddFormFields) {
    const std::string tokenField = ProfileMember(ProfileItem::kContentFormFields, "token");
    const std::string contentField = ProfileMember(ProfileItem::kContentFormFields, "content");
    EXPECT_EQ(ContentRequestBody("abc-1", "77"), tokenField + "abc-1" + contentField + "77");
    EXPECT_EQ(ContentRequestBody("a&admin=1", "7=8+9"),
              tokenField + "a%26admin%3d1" + contentField + "7%3d8%2b9");
}

}  // namespace
}  // namespace kestrum
