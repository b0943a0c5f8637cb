#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "deletion/ReceiptPDF.h"
#include "support/ScopedTimeZone.h"
#include "support/TemporaryDirectory.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

const TimePoint kSample(seconds(1'741'944'413));
const std::regex kOnePage("Pages:\\s+1\\n");

// Runs a poppler tool on the PDF and returns what it printed.
class PopplerReader {
  public:
    static bool available() {
        return fs::exists("/usr/bin/pdftotext") && fs::exists("/usr/bin/pdfinfo");
    }

    explicit PopplerReader(const std::string& pdf) : file_(folder_.path() / "receipt.pdf") {
        std::ofstream(file_, std::ios::binary) << pdf;
    }

    std::string text() const {
        return run("/usr/bin/pdftotext -enc UTF-8 '" + file_.native() + "' -");
    }
    std::string info() const { return run("/usr/bin/pdfinfo '" + file_.native() + "'"); }

  private:
    static std::string run(const std::string& command) {
        std::string output;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return output;
        }
        char buffer[4096];
        while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) {
            output.append(buffer, count);
        }
        ::pclose(pipe);
        return output;
    }

    testing::TemporaryDirectory folder_;
    fs::path file_;
};

DeletionReceipt receipt(char digit, std::int64_t size) {
    return {Uuid::random(), std::string(64, digit), size, kSample, CleaningModuleID::systemLogs};
}

TEST(ReceiptPDFTest, IsAPdfDocument) {
    const auto pdf = pdfData({}, kSample);
    ASSERT_TRUE(pdf.has_value());
    EXPECT_EQ(pdf->rfind("%PDF-", 0), 0U);
}

TEST(ReceiptPDFTest, EmptyListShowsZeroAndNone) {
    if (!PopplerReader::available()) {
        GTEST_SKIP() << "poppler-utils are not installed";
    }
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const PopplerReader reader(pdfData({}, kSample).value());
    const auto text = reader.text();
    EXPECT_NE(text.find("Quillo — Löschbeleg"), std::string::npos) << text;
    EXPECT_NE(text.find("Erstellt: 14. März 2025 um 10:26:53"), std::string::npos) << text;
    EXPECT_NE(text.find("Belege"), std::string::npos);
    EXPECT_NE(text.find("Größe gesamt"), std::string::npos);
    EXPECT_NE(text.find("0 Byte"), std::string::npos) << text;
    EXPECT_NE(text.find("(keine)"), std::string::npos);
    EXPECT_NE(text.find("Dieser Beleg enthält keine Dateipfade."), std::string::npos);
    EXPECT_TRUE(std::regex_search(reader.info(), kOnePage));
    EXPECT_NE(reader.info().find("595 x 842 pts"), std::string::npos) << reader.info();
}

TEST(ReceiptPDFTest, ListsEveryHashAndTheTotal) {
    if (!PopplerReader::available()) {
        GTEST_SKIP() << "poppler-utils are not installed";
    }
    const PopplerReader reader(
        pdfData({receipt('a', 1'000'000), receipt('b', 234'567)}, kSample).value());
    const auto text = reader.text();
    EXPECT_NE(text.find(std::string(64, 'a')), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(64, 'b')), std::string::npos);
    EXPECT_NE(text.find("1,2 MB"), std::string::npos);
    EXPECT_EQ(text.find("(keine)"), std::string::npos);
}

TEST(ReceiptPDFTest, MoreReceiptsThanFitStillMakeOnePage) {
    if (!PopplerReader::available()) {
        GTEST_SKIP() << "poppler-utils are not installed";
    }
    std::vector<DeletionReceipt> receipts;
    for (int index = 0; index < 500; ++index) {
        receipts.push_back(receipt(static_cast<char>('0' + index % 10), 1));
    }
    const PopplerReader reader(pdfData(receipts, kSample).value());
    EXPECT_TRUE(std::regex_search(reader.info(), kOnePage)) << reader.info();
    EXPECT_NE(reader.text().find("500"), std::string::npos);
}

}  // namespace
}  // namespace quillo
