#include "support/FakeFlatpak.h"

#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::testing {

namespace fs = std::filesystem;

std::string applicationMetadata(const std::string& id, const std::string& rest) {
    return "[Application]\nname=" + id + "\nruntime=org.example.Platform/x86_64/1\n" + rest;
}

fs::path deployFakeFlatpak(const fs::path& installation, const FakeFlatpakApp& app) {
    const auto appFolder = installation / "app" / app.id;
    const auto deployed = appFolder / "x86_64/stable/0123abcd";
    writeTextFile(deployed / "metadata", app.metadata);
    makeFile(deployed / "files/bin/app", app.filesBytes);
    fs::create_symlink("0123abcd", appFolder / "x86_64/stable/active");
    fs::create_symlink("x86_64/stable", appFolder / "current");
    const auto exports = installation / "exports/share";
    if (!app.desktopName.empty()) {
        const auto entry = deployed / "export/share/applications" / (app.id + ".desktop");
        writeTextFile(entry, "[Desktop Entry]\nType=Application\nName=" + app.desktopName +
                                 "\nX-Flatpak=" + app.id + "\n");
        fs::create_directories(exports / "applications");
        fs::create_symlink(entry, exports / "applications" / (app.id + ".desktop"));
    }
    if (!app.metainfoName.empty()) {
        writeTextFile(deployed / "files/share/metainfo" / (app.id + ".metainfo.xml"),
                      "<?xml version=\"1.0\"?>\n<component type=\"desktop-application\">\n  <id>" +
                          app.id + "</id>\n  <name xml:lang=\"de\">Deutsch</name>\n  <name>" +
                          app.metainfoName + "</name>\n</component>\n");
    }
    if (app.withIcon) {
        const auto icon = deployed / "export/share/icons/hicolor/128x128/apps" / (app.id + ".png");
        makeFile(icon, 100);
        fs::create_directories(exports / "icons/hicolor/128x128/apps");
        fs::create_symlink(icon, exports / "icons/hicolor/128x128/apps" / (app.id + ".png"));
    }
    return appFolder / "current/active";
}

}  // namespace quillo::testing
