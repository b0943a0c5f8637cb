#include "audit/PrivacyPermission.h"

#include <cstddef>

namespace quillo {

namespace {

using namespace std::string_view_literals;

struct PermissionTraits {
    std::span<const std::string_view> keys;
    std::string_view germanLabel;
    std::string_view symbol;
    std::string_view anchor;
};

constexpr std::array kCameraKeys{"NSCameraUsageDescription"sv};
constexpr std::array kMicrophoneKeys{"NSMicrophoneUsageDescription"sv};
constexpr std::array kScreenCaptureKeys{"NSScreenCaptureUsageDescription"sv,
                                        "NSScreenCaptureDescription"sv};
constexpr std::array kAccessibilityKeys{"NSAccessibilityUsageDescription"sv};
constexpr std::array kAppleEventsKeys{"NSAppleEventsUsageDescription"sv};
constexpr std::array kLocationKeys{
    "NSLocationUsageDescription"sv, "NSLocationWhenInUseUsageDescription"sv,
    "NSLocationAlwaysUsageDescription"sv, "NSLocationAlwaysAndWhenInUseUsageDescription"sv};
constexpr std::array kPhotosKeys{"NSPhotoLibraryUsageDescription"sv};
constexpr std::array kContactsKeys{"NSContactsUsageDescription"sv};
constexpr std::array kCalendarsKeys{"NSCalendarsUsageDescription"sv};
constexpr std::array kRemindersKeys{"NSRemindersUsageDescription"sv};
constexpr std::array kBluetoothKeys{"NSBluetoothAlwaysUsageDescription"sv,
                                    "NSBluetoothPeripheralUsageDescription"sv};
constexpr std::array kLocalNetworkKeys{"NSLocalNetworkUsageDescription"sv};
constexpr std::array kDesktopFolderKeys{"NSDesktopFolderUsageDescription"sv};
constexpr std::array kDocumentsFolderKeys{"NSDocumentsFolderUsageDescription"sv};
constexpr std::array kDownloadsFolderKeys{"NSDownloadsFolderUsageDescription"sv};
constexpr std::array kSpeechRecognitionKeys{"NSSpeechRecognitionUsageDescription"sv};

// In case order, so that a case's value indexes its row.
constexpr std::array<PermissionTraits, allPrivacyPermissions.size()> kTraits{{
    {kCameraKeys, "Kamera", "camera", "Privacy_Camera"},
    {kMicrophoneKeys, "Mikrofon", "mic", "Privacy_Microphone"},
    {kScreenCaptureKeys, "Bildschirmaufnahme", "rectangle.dashed.badge.record",
     "Privacy_ScreenCapture"},
    {kAccessibilityKeys, "Bedienungshilfen", "figure", "Privacy_Accessibility"},
    {kAppleEventsKeys, "Apple-Events / Automation", "applescript", "Privacy_Automation"},
    {kLocationKeys, "Standort", "location", "Privacy_LocationServices"},
    {kPhotosKeys, "Fotos", "photo", "Privacy_Photos"},
    {kContactsKeys, "Kontakte", "person.crop.circle", "Privacy_Contacts"},
    {kCalendarsKeys, "Kalender", "calendar", "Privacy_Calendars"},
    {kRemindersKeys, "Erinnerungen", "list.bullet.rectangle", "Privacy_Reminders"},
    {kBluetoothKeys, "Bluetooth", "bluetooth", "Privacy_Bluetooth"},
    {kLocalNetworkKeys, "Lokales Netzwerk", "network", "Privacy_LocalNetwork"},
    {kDesktopFolderKeys, "Schreibtisch-Ordner", "menubar.dock.rectangle", "Privacy_DesktopFolder"},
    {kDocumentsFolderKeys, "Dokumente-Ordner", "folder", "Privacy_DocumentsFolder"},
    {kDownloadsFolderKeys, "Downloads-Ordner", "arrow.down.circle", "Privacy_DownloadsFolder"},
    {kSpeechRecognitionKeys, "Spracherkennung", "waveform", "Privacy_SpeechRecognition"},
    {{}, "Voller Festplattenzugriff", "internaldrive", "Privacy_AllFiles"},
    {{}, "Persönlicher Ordner", "house", {}},
    {{}, "Eingabeüberwachung", "keyboard", "Privacy_ListenEvent"},
    {{}, "Netzwerk", "globe", {}},
    {{}, "Sitzungsbus", "point.3.connected.trianglepath.dotted", {}},
    {{}, "Systembus", "cpu", {}},
    {{}, "Befehle außerhalb der Sandbox", "terminal", {}},
    {{}, "Im Hintergrund", "clock.arrow.circlepath", {}},
    {{}, "Benachrichtigungen", "bell", {}},
}};

const PermissionTraits& traits(PrivacyPermission permission) {
    return kTraits[static_cast<std::size_t>(permission)];
}

}  // namespace

std::span<const std::string_view> infoPlistKeys(PrivacyPermission permission) {
    return traits(permission).keys;
}

LocalizableText label(PrivacyPermission permission) {
    return {"permission." + std::string(rawValue(permission)),
            std::string(traits(permission).germanLabel)};
}

std::string_view symbolName(PrivacyPermission permission) {
    return traits(permission).symbol;
}

std::string_view settingsAnchor(PrivacyPermission permission) {
    return traits(permission).anchor;
}

std::string settingsLink(PrivacyPermission permission) {
    return "x-apple.systempreferences:com.apple.preference.security?" +
           std::string(settingsAnchor(permission));
}

}  // namespace quillo
