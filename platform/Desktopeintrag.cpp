#include "platform/Desktopeintrag.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

// A value of a desktop entry: backslashes and control characters escaped.
QString Wert(const QString& text)
{
    QString ergebnis;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\')) ergebnis += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n')) ergebnis += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t')) ergebnis += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r')) ergebnis += QStringLiteral("\\r");
        else ergebnis += c;
    }
    return ergebnis;
}

// The program as the Exec key wants it: quoted when it holds a blank or
// another reserved character, '%' doubled (field codes), then escaped as a value.
QString ExecWert(const QString& programm)
{
    static const QString reserviert = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quoten = false;
    for (const QChar c : programm)
        if (reserviert.contains(c)) quoten = true;
    QString arg;
    for (const QChar c : programm) {
        if (c == QLatin1Char('%')) arg += QStringLiteral("%%");
        else if (quoten && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
                            || c == QLatin1Char('\\')))
            arg += QLatin1Char('\\') + c;
        else arg += c;
    }
    if (quoten) arg = QLatin1Char('"') + arg + QLatin1Char('"');
    return Wert(arg);
}

}  // namespace

bool DesktopeintragSchreiben(const QString& programmdatei, const QString& desktopordner)
{
    if (desktopordner.isEmpty() || !QFileInfo(desktopordner).isDir()) return false;
    const QFileInfo programm(programmdatei);
    const QString inhalt = QStringLiteral("[Desktop Entry]\n"
                                          "Type=Application\n"
                                          "Name=Ordavo\n"
                                          "Comment=Ordavo\n"
                                          "Exec=%1\n"
                                          "Path=%2\n")
                               .arg(ExecWert(QDir::toNativeSeparators(programm.absoluteFilePath())),
                                    Wert(QDir::toNativeSeparators(programm.absolutePath())));

    QSaveFile datei(QDir(desktopordner).filePath(QStringLiteral("Ordavo.desktop")));
    if (!datei.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = inhalt.toUtf8();
    if (datei.write(bytes) != bytes.size()) {
        datei.cancelWriting();
        return false;
    }
    // Desktops start only launchers that are executable.
    datei.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                         | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                         | QFileDevice::ReadOther | QFileDevice::ExeOther);
    return datei.commit();
}

bool DesktopeintragSchreiben()
{
    return DesktopeintragSchreiben(QCoreApplication::applicationFilePath(),
                                   QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

}  // namespace platform
