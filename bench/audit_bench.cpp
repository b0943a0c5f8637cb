// Privacy audit benchmark: 500 application bundles, each with an Info.plist of a real
// application's size (about 6 KB in XML, half of them binary), audited the way the sheet does.
// Prints the time per bundle against the goal of well under a second for all of them, and the
// ratio to only reading the same Info.plist files' bytes, measured side by side.
#include <plist/plist.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MedianTime.h"
#include "audit/PrivacyAuditService.h"
#include "support/ManualExecutor.h"

namespace {

using namespace quillo;
namespace fs = std::filesystem;

constexpr int kBundles = 500;
constexpr int kRuns = 7;
constexpr double kGoalMilliseconds = 1000.0;

using Plist = std::unique_ptr<void, decltype(&plist_free)>;

void setString(plist_t dictionary, const std::string& key, const std::string& value) {
    plist_dict_set_item(dictionary, key.c_str(), plist_new_string(value.c_str()));
}

/// Forty-odd entries with document and URL types, as a document-based application has.
Plist infoDictionary(int index) {
    Plist info(plist_new_dict(), &plist_free);
    const auto name = "Programm " + std::to_string(index);
    setString(info.get(), "CFBundleIdentifier", "com.example.app" + std::to_string(index));
    setString(info.get(), "CFBundleName", name);
    setString(info.get(), "CFBundleDisplayName", name);
    for (const auto* key :
         {"CFBundleExecutable", "CFBundleIconFile", "CFBundlePackageType",
          "CFBundleShortVersionString", "CFBundleVersion", "CFBundleDevelopmentRegion",
          "LSMinimumSystemVersion", "NSHumanReadableCopyright", "NSMainNibFile", "NSPrincipalClass",
          "DTCompiler", "DTPlatformBuild", "DTSDKName", "DTXcode"}) {
        setString(info.get(), key, std::string(key) + " value of application " + name);
    }
    const std::vector<std::string> usages{
        "NSCameraUsageDescription",      "NSMicrophoneUsageDescription",
        "NSContactsUsageDescription",    "NSCalendarsUsageDescription",
        "NSAppleEventsUsageDescription", "NSDesktopFolderUsageDescription"};
    for (std::size_t usage = 0; usage < usages.size(); ++usage) {
        if ((static_cast<std::size_t>(index) + usage) % 3 != 0) {
            setString(info.get(), usages[usage],
                      name + " braucht diesen Zugriff, um Inhalte aufzunehmen und zu teilen.");
        }
    }
    plist_t documentTypes = plist_new_array();
    for (int type = 0; type < 12; ++type) {
        plist_t documentType = plist_new_dict();
        setString(documentType, "CFBundleTypeName", "Dokumenttyp " + std::to_string(type));
        setString(documentType, "CFBundleTypeRole", "Editor");
        setString(documentType, "LSHandlerRank", "Default");
        plist_t extensions = plist_new_array();
        plist_array_append_item(extensions,
                                plist_new_string(("ext" + std::to_string(type)).c_str()));
        plist_dict_set_item(documentType, "CFBundleTypeExtensions", extensions);
        plist_array_append_item(documentTypes, documentType);
    }
    plist_dict_set_item(info.get(), "CFBundleDocumentTypes", documentTypes);
    return info;
}

std::string encoded(plist_t dictionary, bool binary) {
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (binary) {
        plist_to_bin(dictionary, &bytes, &length);
    } else {
        plist_to_xml(dictionary, &bytes, &length);
    }
    std::string data(bytes, length);
    if (binary) {
        plist_to_bin_free(bytes);
    } else {
        plist_to_xml_free(bytes);
    }
    return data;
}

/// Writes the bundles and returns their Info.plist paths and the mean XML size.
std::vector<fs::path> makeBundles(const fs::path& root, std::size_t& meanXMLBytes) {
    std::vector<fs::path> infoPlists;
    std::size_t xmlBytes = 0;
    for (int index = 0; index < kBundles; ++index) {
        const auto contents = root / ("Programm " + std::to_string(index) + ".app") / "Contents";
        fs::create_directories(contents / "MacOS");
        const auto info = infoDictionary(index);
        const auto xml = encoded(info.get(), false);
        xmlBytes += xml.size();
        const auto infoPlist = contents / "Info.plist";
        std::ofstream(infoPlist, std::ios::binary)
            << (index % 2 == 0 ? xml : encoded(info.get(), true));
        infoPlists.push_back(infoPlist);
    }
    meanXMLBytes = xmlBytes / kBundles;
    return infoPlists;
}

double medianMilliseconds(const std::function<void()>& work, int runs = kRuns) {
    return bench::medianMilliseconds(work, runs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s EMPTY-WORK-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = fs::path(argv[1]) / "Applications";
    std::size_t meanXMLBytes = 0;
    const auto infoPlists = makeBundles(root, meanXMLBytes);

    const auto context = std::make_shared<support::ManualExecutor>();
    const auto service = PrivacyAuditService::create({root}, context);
    std::size_t audited = 0;
    const double auditTime = medianMilliseconds([&] {
        service->audit({}, [&](const std::vector<InstalledApp>& apps) { audited = apps.size(); });
        context->runAll();
    });
    std::size_t bytesRead = 0;
    const double readTime = medianMilliseconds([&] {
        bytesRead = 0;
        for (const auto& infoPlist : infoPlists) {
            std::ifstream file(infoPlist, std::ios::binary);
            std::string bytes(fs::file_size(infoPlist), '\0');
            file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            bytesRead += static_cast<std::size_t>(file.gcount());
        }
    });

    std::printf(
        "Privacy audit of %d bundles (Info.plist %zu bytes in XML, half binary; %zu "
        "declare permissions), median of %d runs\n",
        kBundles, meanXMLBytes, audited, kRuns);
    std::printf("  audit                 %8.2f ms  %7.1f us per bundle  %5.3f of the 1 s goal\n",
                auditTime, 1000.0 * auditTime / kBundles, auditTime / kGoalMilliseconds);
    std::printf("  reading the bytes     %8.2f ms  %7.1f us per bundle  (%zu bytes)\n", readTime,
                1000.0 * readTime / kBundles, bytesRead);
    std::printf("  ratio audit / reading %8.2f\n", auditTime / readTime);
    return audited == static_cast<std::size_t>(kBundles) ? 0 : 1;
}
