#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/instance_name.h"
#include "app/linux/browser_runtime_linux.h"
#include "app/linux/instance_lock_linux.h"
#include "app/linux/url_scheme_linux.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

TEST(DesktopEntry, PassesTheLinkAsTheOneArgument) {
    const std::string plain = DesktopEntryText("kestrum", "Molvane Desktop Player",
                                               "/opt/kestrum/kestrum", "/icons/kestrum.png");
    EXPECT_NE(plain.find("\nExec=/opt/kestrum/kestrum %u\n"), std::string::npos) << plain;
    EXPECT_NE(plain.find("\nName=Molvane Desktop Player\n"), std::string::npos);
    EXPECT_NE(plain.find("\nMimeType=x-scheme-handler/kestrum;\n"), std::string::npos);
    EXPECT_NE(plain.find("\nIcon=/icons/kestrum.png\n"), std::string::npos);
    EXPECT_EQ(plain.find("NoDisplay"), std::string::npos) << "learners start it from the menu";

    struct Case {
        std::string path;
        std::string exec;
    };
    const Case cases[] = {
        {"/home/a b/kestrum", "Exec=\"/home/a b/kestrum\" %u"},
        {"/opt/$x/k", "Exec=\"/opt/\\\\$x/k\" %u"},
        {"/opt/100%/k", "Exec=\"/opt/100%%/k\" %u"},
        {"/opt/q\"/k", "Exec=\"/opt/q\\\\\"/k\" %u"},
    };
    for (const auto& c : cases) {
        const std::string entry = DesktopEntryText("kestrum", "D", c.path, "i");
        EXPECT_NE(entry.find("\n" + c.exec + "\n"), std::string::npos) << entry;
    }
}

TEST(MimeAppsList, SetsTheDefaultAndKeepsEverythingElse) {
    const std::string type = "x-scheme-handler/kestrum";
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"empty", "", "[Default Applications]\nx-scheme-handler/kestrum=kestrum.desktop\n"},
        {"replaces an old handler",
         "[Default "
         "Applications]\ntext/html=firefox.desktop\nx-scheme-handler/kestrum=old.desktop\n",
         "[Default "
         "Applications]\ntext/html=firefox.desktop\nx-scheme-handler/kestrum=kestrum.desktop\n"},
        {"adds to the existing section before the next",
         "[Default Applications]\ntext/html=f.desktop\n[Added "
         "Associations]\nx-scheme-handler/kestrum=old.desktop\n",
         "[Default Applications]\ntext/html=f.desktop\nx-scheme-handler/kestrum=kestrum.desktop\n"
         "[Added Associations]\nx-scheme-handler/kestrum=old.desktop\n"},
        {"adds the section after others", "[Added Associations]\na=b.desktop",
         "[Added Associations]\na=b.desktop\n[Default "
         "Applications]\nx-scheme-handler/kestrum=kestrum.desktop\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithDefaultHandler(c.before, type, "kestrum.desktop"), c.after) << c.name;
    }
}

TEST(InstanceLock, OneHolderPerNameAndNoneAfterItDies) {
    char folder[] = "/tmp/kestrum-lock-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_RUNTIME_DIR", folder, 1);
    const std::u16string name = InstanceMutexName(u"Kestrum|test");

    // A child takes the lock and holds it until told to go.
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    const pid_t child = fork();
    if (child == 0) {
        const auto result = AcquireInstanceGuard(name);
        char answer = result == StartupPlatform::InstanceResult::kAcquired ? 'y' : 'n';
        (void)!write(fromChild[1], &answer, 1);
        (void)!read(toChild[0], &answer, 1);
        _exit(0);  // dies holding it
    }
    char answer = 0;
    ASSERT_EQ(read(fromChild[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');
    EXPECT_EQ(AcquireInstanceGuard(name), StartupPlatform::InstanceResult::kAlreadyRunning);
    EXPECT_EQ(AcquireInstanceGuard(InstanceMutexName(u"Kestrum|other")),
              StartupPlatform::InstanceResult::kAcquired);  // another mode is not blocked
    ReleaseInstanceGuard();

    (void)!write(toChild[1], "x", 1);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(AcquireInstanceGuard(name), StartupPlatform::InstanceResult::kAcquired);
    ReleaseInstanceGuard();
    // The file is named like the mutex, without its "Local\" prefix.
    const std::string file = std::string(folder) + "/" + Utf16ToUtf8(name).substr(6);
    EXPECT_EQ(file.find("/MolvanePlayer.WebView2."), std::string(folder).size());
    EXPECT_EQ(access(file.c_str(), F_OK), 0);
}

TEST(BrowserRuntime, SupportsRecentEngines) {
    EXPECT_TRUE(IsSupportedEngine(2, 36));
    EXPECT_TRUE(IsSupportedEngine(2, 50));
    EXPECT_TRUE(IsSupportedEngine(3, 0));
    EXPECT_FALSE(IsSupportedEngine(2, 34));
    EXPECT_FALSE(IsSupportedEngine(1, 99));
}

// The web extension is loaded as the engine's web processes load it: the player's own module
// passes; a missing file, a damaged one and a library that is not the player's do not.
TEST(BrowserRuntime, TakesOnlyALoadableWebExtensionOfItsOwn) {
    EXPECT_EQ(WebExtensionProblem(KESTRUM_TEST_WEB_EXTENSION), std::nullopt);

    const std::string folder = ::testing::TempDir() + "/extension-check";
    std::filesystem::create_directories(folder);
    const std::string missing = folder + "/missing.so";
    const std::string damaged = folder + "/damaged.so";
    std::ofstream(damaged) << "not a library";
    Dl_info other{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&getpid), &other), 0);  // the C library
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c :
         {Case{missing, "not found: " + missing}, Case{damaged, "cannot be loaded: "},
          Case{other.dli_fname, "not the application's extension: "}}) {
        const auto problem = WebExtensionProblem(c.path);
        ASSERT_TRUE(problem) << c.path;
        EXPECT_EQ(problem->rfind(c.reason, 0), 0u) << *problem;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kestrum
