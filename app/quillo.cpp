// The desktop application: one main window over the application's own modules and settings.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/AppIdentity.h"
#include "ui/QtText.h"
#include "ui/QuilloApp.h"
#include "ui/Symbols.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillo"));
    QApplication::setDesktopFileName(
        quillo::ui::qtString(quillo::platform::kApplicationIdentifier));
    // The toolkit's own dialogs (file choosers, message boxes) speak German like the rest.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_de"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&toolkitTexts);
    }
    quillo::ui::useDesktopIconTheme();
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("app.quillo.Quillo"),
                                                 QIcon(QStringLiteral(":/quillo.svg"))));
    quillo::ui::QuilloApp quillo(quillo::ui::QuilloAppEnvironment::standard());
    quillo.show();
    return QApplication::exec();
}
