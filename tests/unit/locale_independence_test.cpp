// The toolkit puts the learner's locale into the process at start-up. Every number the player
// reads and every lower-casing it does must still give the "C" locale's result.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "app/link_argument.h"
#include "app/startup_sequence.h"
#include "browser/host_rules.h"
#include "common/decimal_number.h"
#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/url_codec.h"
#include "service/content_data_request.h"
#include "service/pin_store.h"
#include "service/version_check.h"

namespace kestrum {
namespace {

// Natively the build compiles these into the folder LOCPATH names (scripts/make-test-locales.sh).
struct LearnerLocale {
    const char* name;
    bool decimalComma;  // the C library's own conversion then stops at "."
    bool dotlessI;      // its wide lower-casing turns "I" into U+0131
};
#ifdef _WIN32
// The C runtime knows the system's own names; its Turkish locale keeps "I" as "i".
const LearnerLocale kLearnerLocales[] = {{"German_Germany.1252", true, false},
                                         {"French_France.1252", true, false},
                                         {"Turkish_Turkey.1254", true, false},
                                         {"Arabic_Egypt.1256", false, false}};
#else
const LearnerLocale kLearnerLocales[] = {{"de_DE.UTF-8", true, false},
                                         {"fr_FR.UTF-8", true, false},
                                         {"tr_TR.UTF-8", true, true},
                                         {"ar_EG.UTF-8", false, false}};
#endif

// Every UTF-16 code unit once, and its lower-casing by the C library in the "C" locale.
struct CLocaleLowerCasing {
    std::u16string units;
    std::u16string lowered;
};

CLocaleLowerCasing LowerCasingOfTheCLocale() {
    EXPECT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    CLocaleLowerCasing table;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        table.units.push_back(static_cast<char16_t>(unit));
        table.lowered.push_back(
            static_cast<char16_t>(std::towlower(static_cast<std::wint_t>(unit)) & 0xFFFF));
    }
    return table;
}

class LearnerLocales : public testing::Test {
  protected:
    void TearDown() override { std::setlocale(LC_ALL, "C"); }

    // Sets the locale as the toolkit would; false when it is not available here.
    static bool Use(const char* name) {
        if (std::setlocale(LC_ALL, name))
            return true;
        const char* path = std::getenv("LOCPATH");
        ADD_FAILURE() << "locale " << name
                      << " is not available (LOCPATH=" << (path ? path : "unset")
                      << "); scripts/make-test-locales.sh compiles it into a folder";
        return false;
    }
};

TEST_F(LearnerLocales, NumbersAndLowerCasingReadAsInTheCLocale) {
    const CLocaleLowerCasing reference = LowerCasingOfTheCLocale();
    ASSERT_EQ(ToLowerCopy(reference.units), reference.lowered);
    const double running = VersionNumber(u"4.11.0");
    ASSERT_DOUBLE_EQ(running, 4.11);
    const nlohmann::json names = ProfileJson(ProfileItem::kContentMembers);
    const std::string fractionalId = "{\"" + names["data"].get<std::string>() + "\":{\"" +
                                     names["numericId"].get<std::string>() + "\":12.9}}";

    for (const LearnerLocale& locale : kLearnerLocales) {
        SCOPED_TRACE(locale.name);
        if (!Use(locale.name))
            continue;
        // The locale is really in force: the C library's own functions now differ.
        if (locale.decimalComma) {
            EXPECT_EQ(std::strtod("4.11", nullptr), 4.0);
        }
        if (locale.dotlessI) {
            EXPECT_EQ(std::towlower(L'I'), 0x131u);
        }

        EXPECT_DOUBLE_EQ(VersionNumber(u"4.11.0"), 4.11);
        struct VersionCase {
            const char* body;
            bool update;
        };
        const VersionCase versions[] = {
            {R"({"version":4.11})", false},     {R"({"version":"4.11.0"})", false},
            {R"({"version":4.12})", true},      {R"({"version":"4.12"})", true},
            {R"({"version":" 4.12.1"})", true}, {R"({"version":"4,12"})", false},  // reads 4
            {R"({"version":"0x4.4p0"})", true},  // 4.25, hexadecimal as strtod reads it
        };
        for (const auto& c : versions)
            EXPECT_EQ(ReadVersionAnswer(c.body, running).hasUpdate, c.update) << c.body;

        struct NumberCase {
            const char* text;
            double value;
        };
        const NumberCase numbers[] = {{"4.11.0", 4.11}, {"\t-2.5e1x", -25.0}, {"+.5", 0.5},
                                      {"0x1p3", 8.0},   {"7,5", 7.0},         {"1e-2", 0.01}};
        for (const auto& c : numbers) {
            const auto read = LeadingDecimalNumber(c.text);
            ASSERT_TRUE(read) << c.text;
            EXPECT_DOUBLE_EQ(*read, c.value) << c.text;
        }
        EXPECT_FALSE(LeadingDecimalNumber("1e999"));
        EXPECT_FALSE(LeadingDecimalNumber(",5"));

        const auto content = ReadContentAnswer(fractionalId);
        ASSERT_TRUE(content);
        EXPECT_EQ(content->numericId, 12);

        // Lower-casing: every code unit maps as in the "C" locale, "I" included under tr_TR.
        EXPECT_EQ(ToLowerCopy(reference.units), reference.lowered);
        EXPECT_EQ(ToLowerCopy(u"WIKI.KESTRUM.TEST"), u"wiki.kestrum.test");
        EXPECT_EQ(HostOf(u"HTTPS://WIKI.KESTRUM.TEST/Index"), u"wiki.kestrum.test");
        EXPECT_TRUE(HasSchemeArgs(u"\"KESTRUM:IV:I:I\""));
        ReplacePins({{u"wiki.kestrum.test", {"pin"}}});
        EXPECT_TRUE(FindPins(u"WIKI.KESTRUM.TEST"));
        EXPECT_EQ(UrlDecode(u"%49%4a%4A"), u"IJJ");
    }
    ReplacePins({});
}

}  // namespace
}  // namespace kestrum
