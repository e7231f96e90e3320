#include "platform/Pfade.h"

#include "platform/IniDatei.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
QString MitTrenner(QString ordner)
{
    if (!ordner.endsWith(QLatin1Char('/')) && !ordner.endsWith(QDir::separator()))
        ordner += QLatin1Char('/');
    return ordner;
}
}  // namespace

namespace {
QString& Umgelenkt()
{
    static QString ordner;
    return ordner;
}
}  // namespace

void SetzeProgrammordner(const QString& ordner) { Umgelenkt() = ordner; }

QString Programmordner()
{
    if (!Umgelenkt().isEmpty()) return MitTrenner(Umgelenkt());
    return MitTrenner(QCoreApplication::applicationDirPath());
}

QString DateiImOrdner(const QString& ordner, const QString& name)
{
    const QString mitTrenner = MitTrenner(ordner);
    if (QFileInfo::exists(mitTrenner + name)) return mitTrenner + name;
    const QStringList eintraege =
        QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& eintrag : eintraege) {
        if (eintrag.compare(name, Qt::CaseInsensitive) == 0) return mitTrenner + eintrag;
    }
    return mitTrenner + name;
}

QString Einstellungsdatei(const QString& programmdatei)
{
    const QFileInfo info(programmdatei);
    QString basis = info.completeBaseName();
    if (info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) != 0)
        basis = info.fileName();  // no executable suffix here: nothing to replace
    if (basis.compare(QLatin1String("ordavo"), Qt::CaseInsensitive) == 0)
        basis = QStringLiteral("Ordavo");
    return DateiImOrdner(info.absolutePath(), basis + QStringLiteral(".ini"));
}

QString OrdavoIni()
{
    return DateiImOrdner(Programmordner(), QStringLiteral("Ordavo.ini"));
}

QString Datenbankserver()
{
    return IniDatei(OrdavoIni()).lesen(QStringLiteral("Datenbank"), QStringLiteral("Server"));
}

QString Programmname(const QString& basisname)
{
#ifdef Q_OS_WIN
    return basisname + QStringLiteral(".exe");
#else
    return basisname;
#endif
}

}  // namespace platform
