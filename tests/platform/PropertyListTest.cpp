#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PropertyList.h"
#include "platform/PropertyListLimits.h"
#include "support/PropertyListFiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

namespace quillo::platform {
namespace {

using testing::encodePropertyList;
using testing::PropertyListEncoding;
using testing::writeTextFile;

// Hand-made binary lists: objects in order, object 0 the top, references three bytes wide.
void appendBigEndian(std::string& bytes, std::uint64_t value, int width) {
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

std::string collection(unsigned kind, std::uint64_t count, const std::vector<std::uint64_t>& refs) {
    std::string object;
    if (count < 15) {
        object.push_back(static_cast<char>((kind << 4) | count));
    } else {
        object.push_back(static_cast<char>((kind << 4) | 0x0F));
        object.push_back(static_cast<char>(0x12));
        appendBigEndian(object, count, 4);
    }
    for (const auto ref : refs) {
        appendBigEndian(object, ref, 3);
    }
    return object;
}

std::string array(const std::vector<std::uint64_t>& refs) {
    return collection(0xA, refs.size(), refs);
}

std::string dictionary(std::uint64_t key, std::uint64_t value) {
    return collection(0xD, 1, {key, value});
}

std::string asciiString(const std::string& text) {
    return static_cast<char>(0x50 | text.size()) + text;
}

std::string binaryList(const std::vector<std::string>& objects) {
    std::string bytes = "bplist00";
    std::vector<std::uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(bytes.size());
        bytes += object;
    }
    const std::uint64_t table = bytes.size();
    for (const auto offset : offsets) {
        appendBigEndian(bytes, offset, 4);
    }
    bytes.append(6, '\0');
    bytes.push_back(4);
    bytes.push_back(3);
    appendBigEndian(bytes, objects.size(), 8);
    appendBigEndian(bytes, 0, 8);
    appendBigEndian(bytes, table, 8);
    return bytes;
}

// {"k": a chain of `depth` arrays, each holding the next `width` times}; the last holds "v".
std::string nestedBinaryList(std::size_t depth, std::size_t width = 1) {
    std::vector<std::string> objects{dictionary(1, 2), asciiString("k")};
    for (std::size_t level = 0; level < depth; ++level) {
        const std::uint64_t next = objects.size() + 1;
        objects.push_back(array(std::vector<std::uint64_t>(width, next)));
    }
    objects.push_back(asciiString("v"));
    return binaryList(objects);
}

std::string nestedXmlList(std::size_t depth) {
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k</key>";
    for (std::size_t level = 0; level < depth; ++level) {
        xml += "<array>";
    }
    for (std::size_t level = 0; level < depth; ++level) {
        xml += "</array>";
    }
    return xml + "</dict></plist>";
}

const testing::PropertyEntries kEntries{
    {"CFBundleName", std::string("Beispiel")},
    {"Empty", std::string()},
    {"Count", std::int64_t{7}},
    {"Flag", true},
};

class PropertyListEncodingTest : public ::testing::TestWithParam<PropertyListEncoding> {};

TEST_P(PropertyListEncodingTest, GivesStringsAndTellsOtherValuesFromMissingOnes) {
    const auto list = PropertyListDictionary::parse(encodePropertyList(kEntries, GetParam()));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->stringValue("CFBundleName"), "Beispiel");
    EXPECT_EQ(list->stringValue("Empty"), "");
    EXPECT_EQ(list->stringValue("Count"), std::nullopt);
    EXPECT_TRUE(list->contains("Count"));
    EXPECT_TRUE(list->contains("Flag"));
    EXPECT_FALSE(list->contains("Missing"));
    EXPECT_EQ(list->stringValue("Missing"), std::nullopt);
}

TEST_P(PropertyListEncodingTest, RefusesTruncatedData) {
    const auto bytes = encodePropertyList(kEntries, GetParam());
    for (const auto length : {std::size_t{1}, bytes.size() / 2}) {
        EXPECT_FALSE(PropertyListDictionary::parse(bytes.substr(0, length))) << length;
    }
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, PropertyListEncodingTest,
                         ::testing::Values(PropertyListEncoding::xml,
                                           PropertyListEncoding::binary));

TEST(PropertyListTest, TakesOnlyADictionaryAsTopLevel) {
    EXPECT_FALSE(PropertyListDictionary::parse(
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>"));
    EXPECT_FALSE(PropertyListDictionary::parse(""));
    EXPECT_FALSE(PropertyListDictionary::parse("not a property list"));
    EXPECT_FALSE(PropertyListDictionary::parse("bplist00"));
}

// The parser's own copying accessor aborts the process on such a string.
TEST(PropertyListTest, StringWithANulByteEndsThere) {
    const std::string xml =
        std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k</key><string>a") +
        '\0' + "b</string></dict></plist>";
    const auto list = PropertyListDictionary::parse(xml);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->stringValue("k"), "a");
}

// Without the limits these lists crash the process or exhaust its memory inside the parser.
TEST(PropertyListLimitsTest, DeepNestingIsRefusedInBothEncodings) {
    EXPECT_FALSE(PropertyListDictionary::parse(nestedBinaryList(200'000)));
    EXPECT_FALSE(PropertyListDictionary::parse(nestedXmlList(200'000)));
}

TEST(PropertyListLimitsTest, ReferencesThatMultiplyAreRefusedAtOnce) {
    const auto bytes = nestedBinaryList(40, 2);  // 2^40 nodes once expanded
    ASSERT_LT(bytes.size(), 1000U);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(PropertyListDictionary::parse(bytes));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(PropertyListLimitsTest, CyclesAndDanglingReferencesAreRefused) {
    EXPECT_FALSE(
        isWithinParserLimits(binaryList({dictionary(1, 2), asciiString("k"), array({0})})));
    EXPECT_FALSE(
        isWithinParserLimits(binaryList({dictionary(1, 2), asciiString("k"), array({9})})));
}

TEST(PropertyListLimitsTest, OrdinaryNestingAndSharingStayReadable) {
    EXPECT_TRUE(PropertyListDictionary::parse(nestedBinaryList(kMaxPropertyListDepth - 10)));
    EXPECT_TRUE(PropertyListDictionary::parse(nestedBinaryList(10, 2)));
    EXPECT_TRUE(PropertyListDictionary::parse(nestedXmlList(1000)));
    // A count written as a following integer, as for collections of fifteen or more.
    const std::vector<std::uint64_t> twenty(20, 1);
    EXPECT_TRUE(isWithinParserLimits(binaryList({array(twenty), asciiString("v")})));
}

TEST(PropertyListLimitsTest, XmlContainerTagsAreCountedWhereverTheyStand) {
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict></dict><!--";
    for (std::size_t tag = 1; tag < kMaxXmlContainerTags; ++tag) {
        xml += "<ARRAY>";
    }
    EXPECT_TRUE(isWithinParserLimits(xml + "--></plist>"));
    EXPECT_FALSE(isWithinParserLimits(xml + "<array>--></plist>"));
}

class PropertyListFileTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory temp;
    std::filesystem::path file = temp / "Info.plist";
};

TEST_F(PropertyListFileTest, ReadsUpToTheLimitAndNoFurther) {
    const auto bytes = encodePropertyList(kEntries, PropertyListEncoding::xml);
    writeTextFile(file, bytes);
    EXPECT_TRUE(readPropertyListDictionary(file, bytes.size()));
    EXPECT_FALSE(readPropertyListDictionary(file, bytes.size() - 1));
}

TEST_F(PropertyListFileTest, WhatIsNoReadableFileGivesNothing) {
    EXPECT_FALSE(readPropertyListDictionary(file, 1024));
    std::filesystem::create_directory(file);
    EXPECT_FALSE(readPropertyListDictionary(file, 1024));
    const auto fifo = temp / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(readPropertyListDictionary(fifo, 1024));
}

}  // namespace
}  // namespace quillo::platform
