#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <map>
#include <string>

#include "helper/HelperService.h"
#include "modules/FakeLinuxSystem.h"
#include "support/Alternatives.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::testing {
namespace {

namespace fs = std::filesystem;

// The helper over a fake system root, answering one request per call on a manual executor.
struct HelperHarness {
    std::vector<HelperMessage> answer(std::string_view line,
                                      HelperService::AfterScan afterScan = {}) {
        std::vector<HelperMessage> messages;
        auto service = HelperService::create(
            fakeModuleServices(work, linuxSystemLocations(system), ReceiptStore::InMemory{}),
            [&messages](const HelperMessage& message) { messages.push_back(message); },
            std::move(afterScan));
        bool done = false;
        service->answer(line, [&done] { done = true; });
        work->runAll();
        EXPECT_TRUE(done);
        return messages;
    }

    HelperWish wish(std::optional<CleaningModuleID> moduleID, const fs::path& path) const {
        return HelperWish{Uuid::random(), moduleID, path.string()};
    }

    TemporaryDirectory folder;
    fs::path system = folder / "system";
    fs::path outside = folder / "outside";
    std::shared_ptr<support::ManualExecutor> work = std::make_shared<support::ManualExecutor>();
};

std::map<Uuid, std::string> failureReasons(const std::vector<HelperMessage>& messages) {
    std::map<Uuid, std::string> reasons;
    for (const auto& failed : alternativesOf<FailedFileRecord>(messages)) {
        reasons[failed.id] = failed.reason;
    }
    return reasons;
}

TEST(HelperServiceTest, RefusesEveryHostileWishByItselfAndDeletesOnlyWhatItsScanFound) {
    HelperHarness helper;
    const auto tmp = helper.system / "var/tmp";
    makeFile(tmp / "leftover", 4096);
    makeFile(tmp / "swapped/inner", 4096);
    makeFile(tmp / "kept", 4096);
    makeFile(helper.system / "var/cache/app/inner", 4096);
    makeFile(helper.system / "etc/secret", 4096);
    makeFile(helper.outside / "secret", 4096);

    const auto legit = helper.wish(CleaningModuleID::tempFiles, tmp / "leftover");
    struct Hostile {
        const char* name;
        HelperWish wish;
        std::string_view reasonStart;
    };
    const auto repeated = helper.wish(CleaningModuleID::tempFiles, tmp / "kept");
    const std::vector<Hostile> hostile{
        {"outside every root", helper.wish(CleaningModuleID::tempFiles, helper.outside / "secret"),
         "Der Pfad liegt nicht"},
        {"system file outside the module's roots",
         helper.wish(CleaningModuleID::systemCaches, helper.system / "etc/secret"),
         "Der Pfad liegt nicht"},
        {"another module's root", helper.wish(CleaningModuleID::systemCaches, tmp / "kept"),
         "Der Pfad liegt nicht"},
        {"dot-dot", helper.wish(CleaningModuleID::tempFiles, tmp / "../../etc/secret"),
         "Der Pfad ist nicht absolut"},
        {"relative", helper.wish(CleaningModuleID::tempFiles, "var/tmp/kept"),
         "Der Pfad ist nicht absolut"},
        {"not found by its scan",
         helper.wish(CleaningModuleID::systemCaches, helper.system / "var/cache/app/inner"),
         "Der Administrator-Helfer hat dieses Objekt"},
        {"link swapped in after its scan",
         helper.wish(CleaningModuleID::tempFiles, tmp / "swapped"),
         "Das Objekt wurde seit dem Scan ersetzt"},
        {"unknown module", helper.wish(std::nullopt, tmp / "kept"), "Unbekanntes Modul"},
        {"repeated id",
         HelperWish{repeated.id, CleaningModuleID::tempFiles, (tmp / "kept").string()},
         "Dieses Objekt wurde in derselben Anfrage"},
    };
    HelperDeleteRequest request{.mode = DeletionMode::secureOverwrite, .wishes = {legit, repeated}};
    for (const auto& entry : hostile) {
        request.wishes.push_back(entry.wish);
    }

    const auto messages = helper.answer(encodeRequest(request), [&] {
        fs::remove_all(tmp / "swapped");
        fs::create_directory_symlink(helper.outside, tmp / "swapped");
    });

    const auto reasons = failureReasons(messages);
    for (const auto& entry : hostile) {
        ASSERT_TRUE(reasons.contains(entry.wish.id)) << entry.name;
        EXPECT_TRUE(reasons.at(entry.wish.id).starts_with(entry.reasonStart))
            << entry.name << ": " << reasons.at(entry.wish.id);
    }
    EXPECT_EQ(reasons.size(), hostile.size());
    EXPECT_FALSE(fs::exists(tmp / "leftover"));
    EXPECT_FALSE(fs::exists(tmp / "kept"));
    for (const auto& untouched : {helper.outside / "secret", helper.system / "etc/secret",
                                  helper.system / "var/cache/app/inner"}) {
        EXPECT_EQ(fs::file_size(untouched), 4096U) << untouched;
    }
    const auto removed = alternativesOf<DeletedFileRecord>(messages);
    const auto receipts = alternativesOf<DeletionReceipt>(messages);
    ASSERT_EQ(removed.size(), 2U);
    ASSERT_EQ(receipts.size(), 2U);
    EXPECT_EQ(removed[0].id, legit.id);
    EXPECT_EQ(receipts[0].hash, removed[0].receiptHash);
    EXPECT_EQ(receipts[0].moduleID, CleaningModuleID::tempFiles);
    EXPECT_EQ(alternativesOf<HelperItemStarted>(messages).size(), 2U);
    EXPECT_EQ(messages.back(), HelperMessage{HelperDone{}});
}

TEST(HelperServiceTest, RefusesMalformedAndHugeRequestsWholeWithoutTouchingAnything) {
    const std::string oversized = R"({"request":"scan","depth":"deep","modules":[")" +
                                  std::string(kMaxRequestLineBytes, 'x') + R"("]})";
    const std::vector<std::pair<const char*, std::string>> requests{
        {"not JSON", R"({"request":"delete",)"},
        {"not an object", "[1,2]"},
        {"unknown request", R"({"request":"format"})"},
        {"unknown mode", R"({"request":"delete","mode":"shred","wishes":[]})"},
        {"wish without id",
         R"({"request":"delete","mode":"standard","wishes":[{"moduleID":"tempFiles","path":"/x"}]})"},
        {"path that is no text",
         R"({"request":"delete","mode":"standard","wishes":[{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","moduleID":"tempFiles","path":7}]})"},
        {"huge", oversized},
    };
    for (const auto& [name, line] : requests) {
        HelperHarness helper;
        makeFile(helper.system / "var/tmp/leftover", 4096);
        const auto messages = helper.answer(line);
        ASSERT_EQ(messages.size(), 1U) << name;
        EXPECT_TRUE(std::holds_alternative<HelperRefusal>(messages[0])) << name;
        EXPECT_TRUE(fs::exists(helper.system / "var/tmp/leftover")) << name;
    }
}

// A private mount namespace keeps the file system mounted for the test away from everyone else.
TEST(HelperServiceTest, RefusesAPathOnAnotherFileSystem) {
    HelperHarness helper;
    const auto mounted = helper.system / "var/tmp/mounted";
    fs::create_directories(mounted);
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("quillo-test", mounted.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "needs root to mount in a private namespace";
    }
    makeFile(mounted / "file", 4096);
    const auto wish = helper.wish(CleaningModuleID::tempFiles, mounted);

    const auto messages = helper.answer(
        encodeRequest(HelperDeleteRequest{.mode = DeletionMode::standard, .wishes = {wish}}));

    const auto reasons = failureReasons(messages);
    ASSERT_TRUE(reasons.contains(wish.id));
    EXPECT_TRUE(reasons.at(wish.id).starts_with("Das Objekt wurde seit dem Scan ersetzt"));
    EXPECT_TRUE(fs::exists(mounted / "file"));
    ::umount2(mounted.c_str(), MNT_DETACH);
}

TEST(HelperServiceTest, ScanSendsTheItemsBelowTheSystemRootsThenDone) {
    HelperHarness helper;
    makeFile(helper.system / "var/tmp/leftover", 4096);
    makeFile(helper.system / "var/log/old.log", 4096);

    const auto messages = helper.answer(
        encodeRequest(HelperScanRequest{.modules = {CleaningModuleID::tempFiles},
                                        .depth = ScanDepth::standard,
                                        .logRetentionDays = kDefaultLogRetentionDays}));

    const auto items = alternativesOf<CleanableItem>(messages);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].url, helper.system / "var/tmp/leftover");
    EXPECT_EQ(items[0].moduleID, CleaningModuleID::tempFiles);
    EXPECT_EQ(messages.back(), HelperMessage{HelperDone{}});
}

}  // namespace
}  // namespace quillo::testing
