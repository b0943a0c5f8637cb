#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/DeletionScope.h"
#include "platform/SafeFileOperations.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using ::quillo::testing::makeFile;
using ::quillo::testing::makeSymlink;
using ::testing::HasSubstr;
using ::testing::Optional;
namespace fs = std::filesystem;

class PathSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(home / "Library" / "Caches"); }

    testing::TemporaryDirectory temp;
    fs::path home = temp / "home" / "user";
};

TEST_F(PathSafetyTest, RefusesPathsThatAreNotPlainAbsolute) {
    EXPECT_THAT(refusalReason("", home), Optional(HasSubstr("leer")));
    EXPECT_THAT(refusalReason("relative/path", home), Optional(HasSubstr("nicht absolut")));
    EXPECT_THAT(refusalReason("./file", home), Optional(HasSubstr("nicht absolut")));
    for (const std::string_view path :
         {"/tmp/a/../b", "/tmp/a/..", "/tmp/./a", "/tmp/a/.", "/.."}) {
        SCOPED_TRACE(path);
        EXPECT_THAT(refusalReason(path, home), Optional(HasSubstr("„..“")));
    }
    EXPECT_THAT(refusalReason(std::string("/tmp/a\0b", 8), home),
                Optional(HasSubstr("Nullzeichen")));
}

TEST_F(PathSafetyTest, RefusesTheRootAndSystemFolders) {
    for (const std::string_view path : {"/", "//", "///"}) {
        SCOPED_TRACE(path);
        EXPECT_THAT(refusalReason(path, home), Optional(HasSubstr("Wurzelverzeichnis")));
    }
    for (const std::string folder :
         {"/usr",     "/etc",          "/var",   "/bin",     "/sbin",        "/lib",
          "/lib64",   "/boot",         "/dev",   "/proc",    "/sys",         "/run",
          "/opt",     "/srv",          "/root",  "/home",    "/tmp",         "/System",
          "/Library", "/Applications", "/Users", "/private", "/private/var", "/private/etc"}) {
        for (const std::string& spelling : {folder, folder + "/", "/" + folder, folder + "//"}) {
            SCOPED_TRACE(spelling);
            EXPECT_THAT(refusalReason(spelling, home), Optional(HasSubstr("Systemordner")));
        }
    }
    EXPECT_THAT(refusalReason("/USR", home), Optional(HasSubstr("Systemordner")));
}

TEST_F(PathSafetyTest, RefusesTheHomeFolderAndWhatContainsIt) {
    EXPECT_THAT(refusalReason(home, home), Optional(HasSubstr("Benutzerordner")));
    EXPECT_THAT(refusalReason(home.string() + "/", home), Optional(HasSubstr("Benutzerordner")));
    EXPECT_THAT(refusalReason(home, home.string() + "/"), Optional(HasSubstr("Benutzerordner")));
    EXPECT_THAT(refusalReason(temp / "home", home), Optional(HasSubstr("enthält")));
}

TEST_F(PathSafetyTest, SeesThroughLinksInTheParents) {
    makeSymlink(temp / "home", temp / "alias");
    EXPECT_THAT(refusalReason(temp / "alias" / "user", home),
                Optional(HasSubstr("Benutzerordner")));
    makeSymlink("/", temp / "root-alias");
    EXPECT_THAT(refusalReason(temp / "root-alias" / "usr", home),
                Optional(HasSubstr("Systemordner")));
    // Only the link itself would be removed, which harms nothing.
    makeSymlink(home, temp / "home-link");
    EXPECT_EQ(refusalReason(temp / "home-link", home), std::nullopt);
}

TEST_F(PathSafetyTest, AllowsOrdinaryItems) {
    makeFile(home / "Library" / "Caches" / "app" / "file", 1);
    EXPECT_EQ(refusalReason(home / "Library" / "Caches" / "app", home), std::nullopt);
    EXPECT_EQ(refusalReason(home / "Library" / "Caches" / "app" / "file", home), std::nullopt);
    EXPECT_EQ(refusalReason(home / "not-yet-there", home), std::nullopt);
    EXPECT_EQ(refusalReason("/tmp/some-item", home), std::nullopt);
    EXPECT_EQ(refusalReason("/var/tmp/some-item", ""), std::nullopt);
    EXPECT_EQ(refusalReason("/tmp/..hidden", home), std::nullopt);
}

TEST_F(PathSafetyTest, RefusesWhatLiesInAnotherPersonsHome) {
    const fs::path ownHome = "/home/me";
    for (const std::string_view path : {"/home/other", "/home/other/.cache/x", "/Users/other/x"}) {
        SCOPED_TRACE(path);
        EXPECT_THAT(refusalReason(path, ownHome), Optional(HasSubstr("anderen Benutzers")));
    }
    EXPECT_EQ(refusalReason("/home/me/.cache/x", ownHome), std::nullopt);
}

struct ScopedCase {
    const char* item;
    const char* refusal;  // nullptr: allowed
};

class DeletionScopeTest : public ::testing::TestWithParam<ScopedCase> {};

// A scope as a root process gets it: the system folders of the modules, a home of its own.
const DeletionScope kSystemScope{
    .areas = {{.path = "/var/cache"},
              {.path = "/var/log"},
              {.path = "/tmp"},
              {.path = "/var/cache/fontconfig", .includesItself = true},
              {.path = "/"}},
    .home = "/root",
};

TEST_P(DeletionScopeTest, AllowsOnlyWhatAnAreaCoversOutsideTheSystemsOwnTrees) {
    const auto reason = deletionRefusalReason(GetParam().item, kSystemScope);
    if (GetParam().refusal == nullptr) {
        EXPECT_EQ(reason, std::nullopt);
    } else {
        EXPECT_THAT(reason, Optional(HasSubstr(GetParam().refusal)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DeletionScopeTest,
    ::testing::Values(
        ScopedCase{"/var/cache/apt", nullptr}, ScopedCase{"/tmp/x/y", nullptr},
        ScopedCase{"/var/cache/fontconfig", nullptr}, ScopedCase{"/var/log/syslog.1", nullptr},
        // An area as wide as "/" lets nothing of the system's own trees go.
        ScopedCase{"/usr/lib/x86_64-linux-gnu", "Systemordner"},
        ScopedCase{"/etc/ssl", "Systemordner"}, ScopedCase{"/var/lib/dpkg", "Systemordner"},
        ScopedCase{"/var/cache", "Systemordner"},
        ScopedCase{"/home/someone/file", "anderen Benutzers"}, ScopedCase{"/root", "Systemordner"}),
    [](const ::testing::TestParamInfo<ScopedCase>& info) {
        std::string name;
        for (const char c : std::string_view(info.param.item)) {
            name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
        }
        return name;
    });

TEST_F(PathSafetyTest, AnAreaReachedThroughALinkStillKeepsTheSystemsTreesOut) {
    makeSymlink("/usr", temp / "cache");
    const DeletionScope scope{.areas = {{.path = temp / "cache"}}, .home = home};
    EXPECT_THAT(deletionRefusalReason(temp / "cache" / "lib", scope),
                Optional(HasSubstr("Systemordner")));
    // A file there is judged at its real place: given by the opened folder, or found by path.
    const fs::path file = temp / "cache" / "lib" / "some-file";
    EXPECT_EQ(deletionRefusalReason(file, scope), std::nullopt);
    for (const std::optional<std::string>& realFolder :
         {std::optional<std::string>("/usr/lib"), std::optional<std::string>()}) {
        EXPECT_THAT(realPlaceRefusalReason(file, realFolder, scope),
                    Optional(HasSubstr("Systemordner")));
    }
    EXPECT_EQ(realPlaceRefusalReason(file, (temp / "elsewhere").native(), scope), std::nullopt);
    const DeletionScope none{.areas = {}, .home = home};
    EXPECT_THAT(deletionRefusalReason(home / "file", none), Optional(HasSubstr("außerhalb")));
}

}  // namespace
}  // namespace quillo::platform
