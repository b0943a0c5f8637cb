#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
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

    support::Status append(ReceiptStore& store, std::vector<DeletionReceipt> receipts) {
        std::optional<support::Status> outcome;
        store.append(std::move(receipts), [&](support::Status status) { outcome = status; });
        executor_->runAll();
        EXPECT_TRUE(outcome.has_value());
        return outcome.value_or(support::Status(support::Error::cancelled()));
    }

    std::vector<DeletionReceipt> cached(ReceiptStore& store) {
        std::vector<DeletionReceipt> receipts;
        store.cachedReceipts([&](auto result) { receipts = std::move(result).value(); });
        executor_->runAll();
        return receipts;
    }

    std::vector<DeletionReceipt> decodedFile() const {
        const auto document = nlohmann::json::parse(testing::readTextFile(file_));
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

    // A second unreadable file at the same moment gets a name of its own.
    testing::writeTextFile(file_, "{");
    auto secondStore = makeStore(ReceiptStore::OnDisk{file_});
    ASSERT_TRUE(append(*secondStore, {receipt(1)}).ok());
    EXPECT_EQ(asideFiles().size(), 2U);
}

TEST_F(ReceiptStoreTest, FileThatCannotBeReadFailsTheAppendAndKeepsTheReceipts) {
    // A folder in the file's place cannot be read as a file, even by root.
    fs::create_directories(file_);
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const auto waiting = receipt(11);
    const auto failed = append(*store, {waiting});
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().as<ReceiptStoreError>(), nullptr);
    EXPECT_NE(failed.error().description().find("Löschbelege konnten nicht gespeichert werden"),
              std::string::npos);
    EXPECT_TRUE(fs::is_directory(file_));
    EXPECT_EQ(cached(*store), std::vector<DeletionReceipt>{waiting});

    fs::remove(file_);
    const auto next = receipt(12);
    ASSERT_TRUE(append(*store, {next}).ok());
    EXPECT_EQ(decodedFile(), (std::vector<DeletionReceipt>{waiting, next}));
}

TEST_F(ReceiptStoreTest, EmptyFileIsMovedAsideAndTheAppendSucceeds) {
    testing::writeTextFile(file_, "");
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    const auto fresh = receipt(3);
    ASSERT_TRUE(append(*store, {fresh}).ok());
    EXPECT_EQ(decodedFile(), std::vector<DeletionReceipt>{fresh});
    EXPECT_EQ(asideFiles().size(), 1U);
}

TEST_F(ReceiptStoreTest, FileWithoutReadPermissionFailsTheAppendAndStaysAsItIs) {
    {
        auto writer = makeStore(ReceiptStore::OnDisk{file_});
        ASSERT_TRUE(append(*writer, {receipt(1)}).ok());
    }
    const auto before = testing::readTextFile(file_);
    testing::makeReadableByAll(folder_.path());
    // Anyone may write into the folder, so an overwrite would succeed if the store tried one.
    fs::permissions(file_.parent_path(), fs::perms::all);
    testing::makeInaccessible(file_);
    const auto outcome = testing::runUnprivileged([&]() -> std::int64_t {
        auto store = makeStore(ReceiptStore::OnDisk{file_});
        const auto status = append(*store, {receipt(2)});
        if (status.ok()) {
            return 1;
        }
        return status.error().description().find("Belegdatei nicht lesbar") == std::string::npos;
    });
    EXPECT_EQ(outcome, std::optional<std::int64_t>(0));
    EXPECT_EQ(testing::readTextFile(file_), before);
    EXPECT_TRUE(asideFiles().empty());
}

TEST_F(ReceiptStoreTest, FifoInTheFilesPlaceFailsTheAppendWithoutBlocking) {
    fs::create_directories(file_.parent_path());
    ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0);
    auto store = makeStore(ReceiptStore::OnDisk{file_});
    EXPECT_FALSE(append(*store, {receipt(1)}).ok());
    EXPECT_EQ(fs::symlink_status(file_).type(), fs::file_type::fifo);
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
