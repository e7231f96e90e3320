// The backup tool: one window, run until it closes.
#include "backup/datensicherung1.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt switches the C library to the user's number format; keep "1.5".
    std::setlocale(LC_NUMERIC, "C");
    // No display name: the platform would add it to the window title.
    QApplication::setApplicationName(QStringLiteral("Datensicherung"));

    QTranslator qtDeutsch;
    if (qtDeutsch.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtDeutsch);

    backup::TForm_Datensicherung fenster;
    fenster.show();
    return app.exec();
}
