#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "helper/HelperRoute.h"
#include "modules/DefaultModuleSet.h"
#include "modules/FakeLinuxSystem.h"
#include "support/Alternatives.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"
#include "support/WaitingExecutor.h"

namespace quillo::testing {
namespace {

namespace fs = std::filesystem;

// A run that mixes an item this process removes itself with one of the system's temporary folder,
// both of the temporary-files module,
// deleted through the engine the application builds, with a fake pkexec in front of the built
// helper. A granting pkexec runs the helper in a private mount namespace whose /var/tmp and
// /tmp are folders of the test, so the helper's real system roots are the test's own.
struct ElevatedDeletion {
    ElevatedDeletion() {
        makeFile(ownFolder / "data", 4096);
        makeFile(systemVarTmp / kSystemName, 4096);
        fs::create_directories(systemTmp);
        std::ofstream(policy) << "<policyconfig/>";
    }

    fs::path pkexec(const std::string& body) const {
        const auto path = folder / "pkexec";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    fs::path grantingPkexec() const {
        return pkexec("export PKEXEC_UID=" + std::to_string(::getuid()) +
                      "\nexec unshare --mount sh -c 'mount --bind \"$1\" /var/tmp && "
                      "mount --bind \"$2\" /tmp && shift 2 && exec \"$@\"' pkexec " +
                      systemVarTmp.string() + " " + systemTmp.string() + " \"$@\"");
    }

    std::vector<DeletionEvent> deleteBoth(HelperLaunch launch) {
        auto services = fakeModuleServices(
            work,
            linuxLocations(LocationFacts{
                .systemRoot = folder / "local",
                .environment = [home = home.string()](const char* name) -> const char* {
                    return std::string(name) == "HOME" ? home.c_str() : nullptr;
                }}),
            ReceiptStore::OnDisk{receipts});
        services.makeElevatedRoute = helperRoute(
            std::move(launch), [](const std::function<void(bool)>& answer) { answer(true); });
        auto engine = makeDefault(
            [](const support::Completion<DeletionMode>& answer) { answer(DeletionMode::standard); },
            [](const std::function<void(ScanDepth)>& answer) { answer(ScanDepth::standard); },
            std::move(services));
        std::vector<DeletionEvent> events;
        bool ended = false;
        auto stream = engine->deleteItems({ownItem, systemItem});
        stream.listen(
            work, [&events](DeletionEvent event) { events.push_back(std::move(event)); },
            [&ended](const std::optional<support::Error>& error) {
                EXPECT_FALSE(error.has_value());
                ended = true;
            });
        EXPECT_TRUE(work->runUntil([&ended] { return ended; }));
        work->runPending();
        return events;
    }

    HelperLaunch launch(fs::path pkexecPath) const {
        return HelperLaunch{.pkexecPath = pkexecPath.string(),
                            .helperPath = QUILLO_HELPER_BINARY,
                            .policyPath = policy};
    }

    [[nodiscard]] std::size_t storedReceiptCount() const {
        return fs::exists(receipts) ? nlohmann::json::parse(readTextFile(receipts)).size() : 0;
    }

    static constexpr const char* kSystemName = "quillo-test-system-item";
    TemporaryDirectory folder;
    fs::path home = folder / "home/anna";
    fs::path ownFolder = folder / "local/tmp/own-temp";
    fs::path systemVarTmp = folder / "namespace/var-tmp";
    fs::path systemTmp = folder / "namespace/tmp";
    fs::path policy = folder / "app.quillo.Quillo.clean-system-data.policy";
    fs::path receipts = folder / "receipts.json";
    std::shared_ptr<WaitingExecutor> work = std::make_shared<WaitingExecutor>();
    CleanableItem ownItem{.url = ownFolder,
                          .displayName = "own-temp",
                          .sizeInBytes = 4096,
                          .lastModified = {},
                          .moduleID = CleaningModuleID::tempFiles,
                          .warnings = {}};
    CleanableItem systemItem{.url = fs::path("/var/tmp") / kSystemName,
                             .displayName = kSystemName,
                             .sizeInBytes = 4096,
                             .lastModified = {},
                             .moduleID = CleaningModuleID::tempFiles,
                             .warnings = {CleanableItemWarning::requiresElevatedPrivileges}};
};

// One module, two streams: the run still reports it once.
void expectOneSequence(const std::vector<DeletionEvent>& events, std::size_t succeeded,
                       std::size_t failed) {
    const auto started = alternativesOf<DeletionStarted>(events);
    ASSERT_EQ(started.size(), 1U);
    EXPECT_EQ(started[0].totalCount, 2U);
    const auto finished = alternativesOf<DeletionFinished>(events);
    ASSERT_EQ(finished.size(), 1U);
    EXPECT_EQ(finished[0].report.succeeded.size(), succeeded);
    EXPECT_EQ(finished[0].report.failed.size(), failed);
    EXPECT_TRUE(std::holds_alternative<DeletionFinished>(events.back()));
}

TEST(ElevatedDeletionTest, AGrantingPkexecRemovesOwnAndSystemItemsWithAReceiptEach) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the fake pkexec mounts in a private namespace, which needs root";
    }
    ElevatedDeletion run;

    const auto events = run.deleteBoth(run.launch(run.grantingPkexec()));

    EXPECT_FALSE(fs::exists(run.ownFolder));
    EXPECT_FALSE(fs::exists(run.systemVarTmp / ElevatedDeletion::kSystemName));
    const auto completed = alternativesOf<DeletionItemCompleted>(events);
    ASSERT_EQ(completed.size(), 2U);
    EXPECT_TRUE(alternativesOf<DeletionItemFailed>(events).empty());
    expectOneSequence(events, 2, 0);
    EXPECT_EQ(run.storedReceiptCount(), 2U);
}

TEST(ElevatedDeletionTest, WithoutTheHelperOnlyTheSystemItemFailsWithItsReason) {
    struct Case {
        const char* name;
        std::string pkexecBody;
        bool pkexecExists = true;
        bool policyInstalled = true;
        std::string_view reason;
    };
    const std::vector<Case> cases{
        {"dialog dismissed", "cat >/dev/null; exit 126", true, true,
         "Die Anmeldung als Administrator wurde abgebrochen"},
        {"authorisation refused", "cat >/dev/null; exit 127", true, true,
         "Die Anmeldung als Administrator wurde verweigert"},
        {"no pkexec", "", false, true, "Für Systemordner braucht Quillo pkexec"},
        {"no policy", "exec \"$@\"", true, false,
         "Der Administrator-Helfer oder seine polkit-Regel ist nicht installiert"},
    };
    for (const auto& entry : cases) {
        ElevatedDeletion run;
        auto launch = run.launch(entry.pkexecExists ? run.pkexec(entry.pkexecBody)
                                                    : run.folder / "no-pkexec");
        if (!entry.policyInstalled) {
            fs::remove(run.policy);
        }

        const auto events = run.deleteBoth(std::move(launch));

        EXPECT_FALSE(fs::exists(run.ownFolder)) << entry.name;
        EXPECT_TRUE(fs::exists(run.systemVarTmp / ElevatedDeletion::kSystemName)) << entry.name;
        const auto failed = alternativesOf<DeletionItemFailed>(events);
        ASSERT_EQ(failed.size(), 1U) << entry.name;
        EXPECT_EQ(failed[0].record.id, run.systemItem.id);
        EXPECT_TRUE(failed[0].record.reason.starts_with(entry.reason))
            << entry.name << ": " << failed[0].record.reason;
        EXPECT_EQ(alternativesOf<DeletionItemStarted>(events).size(), 2U) << entry.name;
        expectOneSequence(events, 1, 1);
        EXPECT_EQ(run.storedReceiptCount(), 1U) << entry.name;
    }
}

}  // namespace
}  // namespace quillo::testing
