#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "deletion/ReceiptStore.h"
#include "model/ReferenceDate.h"
#include "platform/StandardDirectories.h"
#include "support/Formatting.h"
#include "support/ManualExecutor.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

DeletionReceipt receipt(std::int64_t size, CleaningModuleID module = CleaningModuleID::tempFiles) {
    return DeletionReceipt{Uuid::random(), std::string(64, 'f'), size,
                           TimePoint(seconds(1'741'944'413)), module};
}

class ReceiptStoreTest : public ::testing::Test {
  protected:
    std::shared_ptr<ReceiptStore> makeStore(ReceiptStore::Persistence persistence) {
        return ReceiptStore::create(std::move(persistence), executor_,
                                    [] { return TimePoint(seconds(1'741'944'413)); });
    }

    support::Result<std::optional<ReceiptsSavedElsewhere>> append(
        ReceiptStore& store, std::vector<DeletionReceipt> receipts) {
        std::optional<support::Result<std::optional<ReceiptsSavedElsewhere>>> outcome;
        store.append(std::move(receipts), [&](auto result) { outcome = std::move(result); });
        executor_->runAll();
        EXPECT_TRUE(outcome.has_value());
        return outcome.value_or(support::Error::cancelled());
    }

    support::Status reset(ReceiptStore& store) {
        std::optional<support::Status> outcome;
        store.reset([&](support::Status status) { outcome = std::move(status); });
        executor_->runAll();
        EXPECT_TRUE(outcome.has_value());
        return outcome.value_or(support::Error::cancelled());
    }

    std::vector<DeletionReceipt> cached(ReceiptStore& store) {
        std::vector<DeletionReceipt> receipts;
        store.cachedReceipts([&](auto result) { receipts = std::move(result).value(); });
        executor_->runAll();
        return receipts;
    }

    std::vector<DeletionReceipt> decodedFile() const { return decoded(file_); }

    static std::vector<DeletionReceipt> decoded(const fs::path& file) {
        const auto document = nlohmann::json::parse(testing::readTextFile(file));
        std::vector<DeletionReceipt> receipts;
        for (const auto& element : document) {
            receipts.push_back(decodeReceipt(element).value());
        }
        return receipts;
    }

    std::vector<fs::path> asideFiles() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(file_.parent_path())) {
            if (entry.path().filename().native().starts_with("receipts.json.unreadable-")) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    std::shared_ptr<support::ManualExecutor> executor_ =
        std::make_shared<support::ManualExecutor>();
    testing::TemporaryDirectory folder_;
    fs::path file_ = folder_.path() / "Quillo" / "receipts.json";
};

TEST_F(ReceiptStoreTest, FirstAppendCreatesTheFolderAndACompactOrderedArray) {
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const auto first = receipt(4096);
    const auto second = receipt(1, CleaningModuleID::fontCache);
    ASSERT_TRUE(append(*store, {first, second}).ok());

    const auto text = testing::readTextFile(file_);
    EXPECT_EQ(text.front(), '[');
    EXPECT_EQ(text.back(), ']');
    EXPECT_EQ(text.find(' '), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.rfind("[{\"id\":\"" + first.id.uppercaseString() + "\",\"hash\":\"", 0), 0U);
    EXPECT_NE(
        text.find("\"sizeInBytes\":4096,\"deletedAt\":763637213.0,\"moduleID\":\"tempFiles\"}"),
        std::string::npos)
        << text;
    EXPECT_EQ(decodedFile(), (std::vector<DeletionReceipt>{first, second}));
}

TEST_F(ReceiptStoreTest, AppendsAfterTheReceiptsAlreadyInTheFile) {
    const std::vector<DeletionReceipt> old{receipt(1), receipt(2), receipt(3)};
    {
        auto writer = makeStore(ReceiptStore::OnDisk{file_});
        ASSERT_TRUE(append(*writer, old).ok());
    }
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const std::vector<DeletionReceipt> added{receipt(4), receipt(5)};
    ASSERT_TRUE(append(*store, added).ok());
    auto expected = old;
    expected.insert(expected.end(), added.begin(), added.end());
    EXPECT_EQ(decodedFile(), expected);
    EXPECT_EQ(cached(*store), expected);
}

TEST_F(ReceiptStoreTest, EmptyAppendTouchesNothing) {
    testing::writeTextFile(file_, "not json");
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    EXPECT_TRUE(append(*store, {}).ok());
    EXPECT_EQ(testing::readTextFile(file_), "not json");
    EXPECT_TRUE(asideFiles().empty());
}

TEST_F(ReceiptStoreTest, UndecodableFileIsMovedAsideNotOverwritten) {
    auto foreign = nlohmann::json::array({nlohmann::json(encodeReceipt(receipt(7)))});
    foreign[0]["moduleID"] = "trash";
    const auto oldContents = foreign.dump();
    testing::writeTextFile(file_, oldContents);

    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const auto fresh = receipt(9);
    ASSERT_TRUE(append(*store, {fresh}).ok());
    EXPECT_EQ(decodedFile(), std::vector<DeletionReceipt>{fresh});
    const auto aside = asideFiles();
    ASSERT_EQ(aside.size(), 1U);
    EXPECT_EQ(aside.front().filename(),
              "receipts.json.unreadable-" +
                  support::formatFileNameTimestamp(TimePoint(seconds(1'741'944'413))));
    EXPECT_EQ(testing::readTextFile(aside.front()), oldContents);

    // An empty file is unreadable too, and a second one at the same moment gets a name of its
    // own.
    testing::writeTextFile(file_, "");
    auto secondStore = makeStore(ReceiptStore::OnDisk{file_});
    const auto next = receipt(1);
    ASSERT_TRUE(append(*secondStore, {next}).ok());
    EXPECT_EQ(decodedFile(), std::vector<DeletionReceipt>{next});
    EXPECT_EQ(asideFiles().size(), 2U);
}

TEST_F(ReceiptStoreTest, HashThatIsNotUtf8IsSavedAndLaterAppendsStillWork) {
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    auto odd = receipt(1);
    odd.hash = "snapshot-\xff";
    ASSERT_TRUE(append(*store, {odd}).ok());
    const auto next = receipt(2);
    ASSERT_TRUE(append(*store, {next}).ok());
    const auto saved = decodedFile();
    ASSERT_EQ(saved.size(), 2U);
    EXPECT_EQ(saved[0].hash, "snapshot-\xEF\xBF\xBD");
    EXPECT_EQ(saved[1], next);
}

TEST_F(ReceiptStoreTest, FailedWriteKeepsTheCacheAndALaterAppendWritesIt) {
    // A file where the folder "Quillo" should be makes creating it fail.
    testing::writeTextFile(file_.parent_path(), "in the way");
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const auto first = receipt(1);
    ASSERT_FALSE(append(*store, {first}).ok());
    EXPECT_EQ(cached(*store), std::vector<DeletionReceipt>{first});

    fs::remove(file_.parent_path());
    const auto second = receipt(2);
    ASSERT_TRUE(append(*store, {second}).ok());
    EXPECT_EQ(decodedFile(), (std::vector<DeletionReceipt>{first, second}));
}

TEST_F(ReceiptStoreTest, InMemoryStoreKeepsReceiptsInOrderAndWritesNothing) {
    auto store = makeStore(ReceiptStore::InMemory{});
    const auto first = receipt(1);
    const auto second = receipt(2);
    ASSERT_TRUE(append(*store, {first}).ok());
    ASSERT_TRUE(append(*store, {second}).ok());
    EXPECT_EQ(cached(*store), (std::vector<DeletionReceipt>{first, second}));
    EXPECT_TRUE(fs::is_empty(folder_.path()));
}

// What stands in the receipts file's place and where the receipts must end up instead.
struct UnusableFileCase {
    enum class Destination { ownPlace, besideIt, fallbackFolder };

    std::string name;
    /// Builds what is in the file's place (as root, into a folder everyone may write to).
    std::function<void(const fs::path& file)> build;
    Destination destination;
    /// The old file's receipts can be read and must be kept in the new file.
    bool keepsOldReceipts = false;
    /// The case needs a file owned by someone other than the appending user.
    bool needsRoot = false;
};

std::string caseName(const ::testing::TestParamInfo<UnusableFileCase>& info) {
    return info.param.name;
}

void PrintTo(const UnusableFileCase& unusable, std::ostream* out) {
    *out << unusable.name;
}

void writeOldReceipts(const fs::path& file, const std::vector<DeletionReceipt>& receipts) {
    auto document = nlohmann::ordered_json::array();
    for (const auto& old : receipts) {
        document.push_back(encodeReceipt(old));
    }
    testing::writeTextFile(file, document.dump());
}

const std::vector<DeletionReceipt>& oldReceipts() {
    static const std::vector<DeletionReceipt> receipts{receipt(100), receipt(200)};
    return receipts;
}

// The kind of the entry and what it holds, read without following a link.
std::string fingerprint(const fs::path& path) {
    switch (fs::symlink_status(path).type()) {
        case fs::file_type::regular:
            return "file " + testing::readTextFile(path);
        case fs::file_type::symlink:
            return "link " + fs::read_symlink(path).native();
        case fs::file_type::directory: {
            std::string names = "folder";
            for (const auto& entry : fs::recursive_directory_iterator(path)) {
                names += " " + fs::relative(entry.path(), path).native();
            }
            return names;
        }
        case fs::file_type::fifo:
            return "fifo";
        default:
            return "other";
    }
}

class UnusableReceiptsFileTest : public ReceiptStoreTest,
                                 public ::testing::WithParamInterface<UnusableFileCase> {
  protected:
    fs::path expectedDestination() const {
        const std::string taken = "receipts-" + stamp_ + "-2.json";
        switch (GetParam().destination) {
            case UnusableFileCase::Destination::ownPlace:
                return file_;
            case UnusableFileCase::Destination::besideIt:
                return file_.parent_path() / taken;
            case UnusableFileCase::Destination::fallbackFolder:
                return fallback_ / taken;
        }
        return {};
    }

    // Names the store would take first are held by files of their own, which must survive.
    void placeDecoys() const {
        for (const auto& folder : {file_.parent_path(), fallback_}) {
            fs::create_directories(folder);
            fs::permissions(folder, fs::perms::all);
            testing::writeTextFile(folder / ("receipts-" + stamp_ + ".json"), "decoy");
        }
    }

    std::string stamp_ = support::formatFileNameTimestamp(TimePoint(seconds(1'741'944'413)));
    fs::path fallback_ = folder_.path() / "state" / "Quillo";
};

TEST_P(UnusableReceiptsFileTest, KeepsWhatWasThereAndSavesTheReceiptsWhereTheAnswerSays) {
    if (GetParam().needsRoot && ::geteuid() != 0) {
        GTEST_SKIP() << "needs a file of another user, which only root can make";
    }
    testing::makeReadableByAll(folder_.path());
    fs::create_directories(folder_.path() / "state");
    fs::permissions(folder_.path() / "state", fs::perms::all);
    placeDecoys();
    GetParam().build(file_);
    const std::string before = fingerprint(file_);
    const fs::path destination = expectedDestination();
    const std::vector<DeletionReceipt> first{receipt(1)};
    const std::vector<DeletionReceipt> second{receipt(2), receipt(3)};

    // A second append finds the same place: one file holds every receipt of the session.
    const auto outcome = testing::runUnprivileged([&]() -> std::int64_t {
        auto store = makeStore(ReceiptStore::OnDisk{file_, fallback_});
        const auto saved = append(*store, first);
        const auto savedAgain = append(*store, second);
        if (!saved.ok() || !savedAgain.ok()) {
            return 1;
        }
        if (saved.value() != savedAgain.value()) {
            return 2;
        }
        const auto& elsewhere = saved.value();
        const bool named = elsewhere
                               ? elsewhere->file == destination && elsewhere->receiptsFile == file_
                               : destination == file_;
        return named ? 0 : 3;
    });
    ASSERT_EQ(outcome, std::optional<std::int64_t>(0));

    auto expected = GetParam().keepsOldReceipts ? oldReceipts() : std::vector<DeletionReceipt>{};
    expected.insert(expected.end(), first.begin(), first.end());
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(decoded(destination), expected);
    const auto aside = asideFiles();
    if (GetParam().destination == UnusableFileCase::Destination::ownPlace) {
        ASSERT_EQ(aside.size(), 1U);
        EXPECT_EQ(fingerprint(aside.front()), before);
    } else {
        EXPECT_TRUE(aside.empty());
        EXPECT_EQ(fingerprint(file_), before);
    }
    for (const auto& folder : {file_.parent_path(), fallback_}) {
        EXPECT_EQ(testing::readTextFile(folder / ("receipts-" + stamp_ + ".json")), "decoy");
    }
}

void makeFifo(const fs::path& file) {
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
}

void makeReadOnly(const fs::path& folder) {
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
}

INSTANTIATE_TEST_SUITE_P(
    InTheFilesPlace, UnusableReceiptsFileTest,
    ::testing::Values(
        UnusableFileCase{"Fifo", makeFifo, UnusableFileCase::Destination::ownPlace},
        UnusableFileCase{
            "Folder", [](const fs::path& file) { testing::makeFile(file / "inside" / "note", 3); },
            UnusableFileCase::Destination::ownPlace},
        UnusableFileCase{"DanglingLink",
                         [](const fs::path& file) { testing::makeSymlink("missing.json", file); },
                         UnusableFileCase::Destination::ownPlace},
        UnusableFileCase{"FileWithoutReadPermission",
                         [](const fs::path& file) {
                             writeOldReceipts(file, oldReceipts());
                             testing::makeInaccessible(file);
                         },
                         UnusableFileCase::Destination::ownPlace},
        UnusableFileCase{"ReadableFileInAReadOnlyFolder",
                         [](const fs::path& file) {
                             writeOldReceipts(file, oldReceipts());
                             makeReadOnly(file.parent_path());
                         },
                         UnusableFileCase::Destination::fallbackFolder, true},
        UnusableFileCase{"FifoInAReadOnlyFolder",
                         [](const fs::path& file) {
                             makeFifo(file);
                             makeReadOnly(file.parent_path());
                         },
                         UnusableFileCase::Destination::fallbackFolder},
        // In a sticky folder only the owner may rename a file, but anyone may add one.
        UnusableFileCase{"AnotherUsersUnreadableFileInAStickyFolder",
                         [](const fs::path& file) {
                             writeOldReceipts(file, oldReceipts());
                             testing::makeInaccessible(file);
                             fs::permissions(file.parent_path(),
                                             fs::perms::all | fs::perms::sticky_bit);
                         },
                         UnusableFileCase::Destination::besideIt, false, true}),
    caseName);

TEST_F(ReceiptStoreTest, AResetForgetsEveryReceiptForGood) {
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    ASSERT_TRUE(append(*store, {receipt(1), receipt(2)}).ok());
    ASSERT_TRUE(reset(*store).ok());
    EXPECT_FALSE(fs::exists(file_));

    const auto later = receipt(3);
    ASSERT_TRUE(append(*store, {later}).ok());
    EXPECT_EQ(decodedFile(), std::vector<DeletionReceipt>{later});
    EXPECT_EQ(cached(*store), std::vector<DeletionReceipt>{later});
}

TEST_F(ReceiptStoreTest, AResetThatCannotRemoveTheFileForgetsNothing) {
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const auto kept = receipt(1);
    ASSERT_TRUE(append(*store, {kept}).ok());
    fs::remove(file_);
    testing::writeTextFile(file_ / "in-the-way", "");
    const auto refused = reset(*store);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().description().find(file_.string()), std::string::npos);
    EXPECT_EQ(cached(*store), std::vector<DeletionReceipt>{kept});
}

TEST(StandardDirectoriesTest, ApplicationSupportFollowsTheDataHome) {
    const auto lookup = [](const char* dataHome, const char* home) {
        return [dataHome, home](const char* name) -> const char* {
            const std::string variable = name;
            return variable == "XDG_DATA_HOME" ? dataHome : variable == "HOME" ? home : nullptr;
        };
    };
    EXPECT_EQ(platform::applicationSupportFolder(lookup("/data", "/home/anna")), "/data");
    EXPECT_EQ(platform::applicationSupportFolder(lookup("relative", "/home/anna")),
              "/home/anna/.local/share");
    EXPECT_EQ(platform::applicationSupportFolder(lookup(nullptr, "/home/anna")),
              "/home/anna/.local/share");
    EXPECT_EQ(ReceiptStore::defaultURL().filename(), "receipts.json");
    EXPECT_EQ(ReceiptStore::defaultURL().parent_path().filename(), "Quillo");
}

}  // namespace
}  // namespace quillo
