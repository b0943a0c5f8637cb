#include "ui/Symbols.h"

#include <QApplication>
#include <QHash>
#include <QStyle>
#include <algorithm>
#include <array>

namespace quillo::ui {

namespace {

struct SymbolEntry {
    std::string_view symbolName;
    const char* themeName = "";
    QStyle::StandardPixmap fallback = QStyle::SP_FileIcon;
};

// Freedesktop icon names, so that any desktop theme can draw them.
constexpr std::array kSymbols{
    // Modules.
    SymbolEntry{"internaldrive", "drive-harddisk", QStyle::SP_DriveHDIcon},
    SymbolEntry{"doc.text.magnifyingglass", "text-x-generic", QStyle::SP_FileDialogContentsView},
    SymbolEntry{"tray.full", "user-trash-full", QStyle::SP_TrashIcon},
    SymbolEntry{"stethoscope", "dialog-information", QStyle::SP_MessageBoxInformation},
    SymbolEntry{"powersleep", "system-suspend-hibernate", QStyle::SP_BrowserStop},
    SymbolEntry{"clock.arrow.circlepath", "document-open-recent", QStyle::SP_BrowserReload},
    SymbolEntry{"textformat", "font-x-generic", QStyle::SP_FileIcon},
    SymbolEntry{"shippingbox", "package-x-generic", QStyle::SP_DirIcon},
    // Warnings.
    SymbolEntry{"clock", "appointment-soon", QStyle::SP_BrowserReload},
    SymbolEntry{"exclamationmark.triangle", "dialog-warning", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"exclamationmark.triangle.fill", "dialog-warning", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"lock.shield", "security-medium", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"lock.shield.fill", "security-high", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"bolt.trianglebadge.exclamationmark", "dialog-error",
                QStyle::SP_MessageBoxCritical},
    SymbolEntry{"lock", "changes-prevent", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"exclamationmark.circle.fill", "dialog-warning", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"exclamationmark.octagon.fill", "dialog-error", QStyle::SP_MessageBoxCritical},
    SymbolEntry{"xmark.octagon.fill", "dialog-error", QStyle::SP_MessageBoxCritical},
    // Main window.
    SymbolEntry{"magnifyingglass", "edit-find", QStyle::SP_FileDialogContentsView},
    SymbolEntry{"magnifyingglass.circle", "edit-find", QStyle::SP_FileDialogContentsView},
    SymbolEntry{"magnifyingglass.circle.fill", "system-search", QStyle::SP_FileDialogContentsView},
    SymbolEntry{"scope", "zoom-in", QStyle::SP_FileDialogDetailedView},
    SymbolEntry{"play.fill", "media-playback-start", QStyle::SP_MediaPlay},
    SymbolEntry{"stop.fill", "process-stop", QStyle::SP_MediaStop},
    SymbolEntry{"checkmark.circle", "object-select", QStyle::SP_DialogApplyButton},
    SymbolEntry{"trash", "edit-delete", QStyle::SP_TrashIcon},
    SymbolEntry{"trash.circle.fill", "user-trash", QStyle::SP_TrashIcon},
    SymbolEntry{"trash.slash", "user-trash", QStyle::SP_TrashIcon},
    SymbolEntry{"tray", "folder-open", QStyle::SP_DirOpenIcon},
    SymbolEntry{"sidebar.left", "view-list", QStyle::SP_FileDialogListView},
    SymbolEntry{"info.circle", "dialog-information", QStyle::SP_MessageBoxInformation},
    SymbolEntry{"info.circle.fill", "dialog-information", QStyle::SP_MessageBoxInformation},
    SymbolEntry{"doc", "text-x-generic", QStyle::SP_FileIcon},
    SymbolEntry{"doc.richtext", "application-pdf", QStyle::SP_FileIcon},
    SymbolEntry{"tablecells", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
    SymbolEntry{"checkmark.seal", "emblem-default", QStyle::SP_DialogApplyButton},
    SymbolEntry{"checkmark.seal.fill", "emblem-default", QStyle::SP_DialogApplyButton},
    SymbolEntry{"checkmark.circle.fill", "emblem-default", QStyle::SP_DialogApplyButton},
    SymbolEntry{"questionmark.circle.fill", "dialog-question", QStyle::SP_MessageBoxQuestion},
    SymbolEntry{"app.badge", "application-x-executable", QStyle::SP_ComputerIcon},
    SymbolEntry{"app.dashed", "application-x-executable", QStyle::SP_ComputerIcon},
    SymbolEntry{"xmark.bin", "edit-delete", QStyle::SP_TrashIcon},
    SymbolEntry{"hand.raised", "security-high", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"list.bullet", "view-list", QStyle::SP_FileDialogListView},
    // Settings and onboarding.
    SymbolEntry{"gear", "preferences-system", QStyle::SP_ComputerIcon},
    SymbolEntry{"wrench.and.screwdriver", "applications-engineering", QStyle::SP_ComputerIcon},
    SymbolEntry{"shield.lefthalf.filled", "security-medium", QStyle::SP_MessageBoxWarning},
    SymbolEntry{"externaldrive.badge.checkmark", "drive-harddisk", QStyle::SP_DriveHDIcon},
    // Permissions.
    SymbolEntry{"camera", "camera-photo", QStyle::SP_DesktopIcon},
    SymbolEntry{"mic", "audio-input-microphone", QStyle::SP_MediaVolume},
    SymbolEntry{"rectangle.dashed.badge.record", "media-record", QStyle::SP_DesktopIcon},
    SymbolEntry{"figure", "preferences-desktop-accessibility", QStyle::SP_DesktopIcon},
    SymbolEntry{"applescript", "text-x-script", QStyle::SP_FileIcon},
    SymbolEntry{"location", "find-location", QStyle::SP_DirHomeIcon},
    SymbolEntry{"photo", "image-x-generic", QStyle::SP_FileIcon},
    SymbolEntry{"person.crop.circle", "avatar-default", QStyle::SP_DirHomeIcon},
    SymbolEntry{"calendar", "x-office-calendar", QStyle::SP_FileDialogDetailedView},
    SymbolEntry{"list.bullet.rectangle", "view-list", QStyle::SP_FileDialogListView},
    SymbolEntry{"bluetooth", "bluetooth", QStyle::SP_DriveNetIcon},
    SymbolEntry{"network", "network-workgroup", QStyle::SP_DriveNetIcon},
    SymbolEntry{"menubar.dock.rectangle", "user-desktop", QStyle::SP_DesktopIcon},
    SymbolEntry{"folder", "folder-documents", QStyle::SP_DirIcon},
    SymbolEntry{"arrow.down.circle", "folder-download", QStyle::SP_ArrowDown},
    SymbolEntry{"waveform", "audio-x-generic", QStyle::SP_MediaVolume},
    SymbolEntry{"internaldrive", "drive-harddisk-system", QStyle::SP_DriveHDIcon},
    SymbolEntry{"house", "user-home", QStyle::SP_DirHomeIcon},
    SymbolEntry{"keyboard", "input-keyboard", QStyle::SP_ComputerIcon},
    SymbolEntry{"globe", "network-transmit-receive", QStyle::SP_DriveNetIcon},
    SymbolEntry{"point.3.connected.trianglepath.dotted", "emblem-system", QStyle::SP_ComputerIcon},
    SymbolEntry{"cpu", "computer", QStyle::SP_ComputerIcon},
    SymbolEntry{"terminal", "utilities-terminal", QStyle::SP_ComputerIcon},
    SymbolEntry{"clock.arrow.circlepath", "preferences-system-time", QStyle::SP_BrowserReload},
    SymbolEntry{"bell", "preferences-system-notifications", QStyle::SP_MessageBoxInformation},
};

const SymbolEntry* findEntry(std::string_view symbolName) {
    const auto* found = std::find_if(kSymbols.begin(), kSymbols.end(), [&](const auto& entry) {
        return entry.symbolName == symbolName;
    });
    return found == kSymbols.end() ? nullptr : found;
}

// A list repaints its rows' icons on every scroll; a fresh QIcon would decode its image each time,
// while one kept per name draws from its cached pixmaps. Kept per theme too, since whether the
// theme has the symbol or the fallback stands in is decided when the icon is made. Touched on
// the main thread only.
QIcon cachedIcon(std::string_view symbolName, bool monochrome) {
    static QHash<QString, QIcon> icons;
    const QString key =
        QIcon::themeName() + QLatin1Char('/') +
        QString::fromLatin1(symbolName.data(), static_cast<qsizetype>(symbolName.size())) +
        (monochrome ? QLatin1String("-symbolic") : QLatin1String());
    if (const auto found = icons.constFind(key); found != icons.constEnd()) {
        return *found;
    }
    const auto* entry = findEntry(symbolName);
    if (entry == nullptr) {
        return {};
    }
    const QString themeName = QString::fromLatin1(entry->themeName);
    QIcon icon = QIcon::fromTheme(themeName, QApplication::style()->standardIcon(entry->fallback));
    if (monochrome) {
        icon = QIcon::fromTheme(themeName + QLatin1String("-symbolic"), icon);
    }
    icons.insert(key, icon);
    return icon;
}

}  // namespace

QIcon symbolIcon(std::string_view symbolName) {
    return cachedIcon(symbolName, false);
}

QIcon monochromeSymbolIcon(std::string_view symbolName) {
    return cachedIcon(symbolName, true);
}

void useDesktopIconTheme() {
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
}

}  // namespace quillo::ui
