#include "browser/runtime_version_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum {
namespace {

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

TEST(RuntimeVersionText, BuildFloorAcceptsOnlyFourNumbersWithARecentBuild) {
    struct Case {
        std::u16string version;
        bool loadable;
    } cases[] = {
        {u"120.0.2210.91", true},
        {u"86.0.1150.0", true},       // exactly the floor
        {u"200.0.1149.99", false},    // below the floor, whatever the major
        {u"120.0.2210", false},       // three parts
        {u"120.0.2210.91.1", false},  // five parts
        {u"120..2210.91", false},
        {u"120.0.2210.", false},
        {u"120.0.99999.1", false},    // beyond a version resource's 16 bits
        {u"120.0.1234567.1", false},  // long digit runs are not summed into an overflow
        {u"120.0.22a0.91", false},
        {u"120.0.2210.91 beta", false},
        {u"", false},
        {u"0.0.0.0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MeetsRuntimeBuildFloor(c.version), c.loadable) << Narrow(c.version);
}

TEST(RuntimeVersionText, LastPathComponentIgnoresTrailingSlashesOfEitherKind) {
    struct Case {
        std::u16string path, last;
    } cases[] = {
        {u"C:\\Program Files (x86)\\Runtime\\Application\\120.0.2210.91", u"120.0.2210.91"},
        {u"C:\\R\\Application\\120.0.2210.91\\", u"120.0.2210.91"},
        {u"C:/R/Application/120.0.2210.91//", u"120.0.2210.91"},
        {u"120.0.2210.91", u"120.0.2210.91"},
        {u"\\\\", u""},
        {u"", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LastPathComponent(c.path), c.last) << Narrow(c.path);
}

TEST(RuntimeVersionText, RelativeFoldersAreResolvedAgainstTheProgramFolder) {
    struct Case {
        std::u16string base, folder, resolved;
    } cases[] = {
        {u"C:\\App", u"Runtime", u"C:\\App\\Runtime"},
        {u"C:\\App\\", u".\\Runtime", u"C:\\App\\Runtime"},
        {u"C:\\App", u"..\\Shared\\Runtime", u"C:\\App\\..\\Shared\\Runtime"},
        {u"C:\\App", u"D:\\Runtime", u"D:\\Runtime"},
        {u"C:\\App", u"d:/Runtime", u"d:/Runtime"},
        {u"C:\\App", u"\\\\server\\share\\Runtime", u"\\\\server\\share\\Runtime"},
        {u"C:\\App", u"\\Runtime", u"\\Runtime"},
        {u"", u"Runtime", u"Runtime"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinWindowsPath(c.base, c.folder), c.resolved) << Narrow(c.folder);
    EXPECT_EQ(ParentFolder(u"C:\\App\\kestrum.exe"), u"C:\\App");
    EXPECT_EQ(ParentFolder(u"kestrum.exe"), u"");
}

TEST(RuntimeVersionText, AFullBrowsersApplicationFolderIsRefused) {
    struct Case {
        std::u16string folder;
        bool refused;
    } cases[] = {
        {u"C:\\Program Files (x86)\\Vendor\\Edge\\Application\\120.0.2210.91", true},
        {u"C:\\Program Files (x86)\\Vendor\\Edge\\Application", true},
        {u"c:/program files/vendor/EDGE/application/", true},
        {u"C:\\Program Files (x86)\\Vendor\\EdgeWebView\\Application\\120.0.2210.91", false},
        {u"C:\\App\\MyEdge\\Application", false},
        {u"C:\\App\\Runtime", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRefusedBrowserFolder(c.folder), c.refused) << Narrow(c.folder);
}

TEST(RuntimeVersionText, LibraryPathAndPackedVersion) {
    EXPECT_EQ(RuntimeLibraryPath(u"C:\\Runtime\\"),
              u"C:\\Runtime\\EBWebView\\x64\\EmbeddedBrowserWebView.dll");
    EXPECT_EQ(FormatPackedVersion(0x00780000u, 0x08A2005Bu), u"120.0.2210.91");
    EXPECT_EQ(FormatPackedVersion(0xFFFFFFFFu, 0u), u"65535.65535.0.0");
}

}  // namespace
}  // namespace kestrum
