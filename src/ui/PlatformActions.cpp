#include "ui/PlatformActions.h"

#include <QDesktopServices>
#include <QUrl>

#include "ui/QtText.h"

namespace quillo::ui {

OpenLocation desktopOpenLocation() {
    return [](const std::string& url) { QDesktopServices::openUrl(QUrl(qtString(url))); };
}

}  // namespace quillo::ui
