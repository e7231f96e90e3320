// The backup tool: one window, run until it closes.
#include "backup/datensicherung1.h"
#include "platform/Sprache.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
    platform::DeutschOhneSystemsprache();
    QApplication app(argc, argv);
    // Qt switches the C library to the user's number format; keep "1.5".
    std::setlocale(LC_NUMERIC, "C");
    // No display name: the platform would add it to the window title.
    QApplication::setApplicationName(QStringLiteral("Datensicherung"));

    platform::QtAufDeutsch(app);

    backup::TForm_Datensicherung fenster;
    fenster.show();
    return app.exec();
}
