// beispieldaten --groesse typisch --seed 1 ordavo_tab.mdb
#include "data/Fehler.h"
#include "tools/beispieldaten/Beispieldaten.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Schreibt eine neue Datenbank mit realistischen Beispieldaten. Derselbe Startwert ergibt dieselbe Datei."));
    p.addHelpOption();
    p.addOption({QStringLiteral("groesse"), QStringLiteral("Umfang: %1 (Vorgabe: typisch).").arg(tools::Groessen().join(QStringLiteral(", "))),
                 QStringLiteral("name"), QStringLiteral("typisch")});
    p.addOption({QStringLiteral("seed"), QStringLiteral("Startwert des Zufallsgenerators (Vorgabe: 1)."), QStringLiteral("zahl"),
                 QStringLiteral("1")});
    p.addOption({QStringLiteral("bis"),
                 QStringLiteral("Letzter Tag der 15 Jahre Lieferscheine, JJJJ-MM-TT (Vorgabe: %1).")
                     .arg(tools::StandardEnde().toString(Qt::ISODate)),
                 QStringLiteral("datum"), tools::StandardEnde().toString(Qt::ISODate)});
    p.addPositionalArgument(QStringLiteral("datei"), QStringLiteral("Die neue Datenbankdatei, z. B. ordavo_tab.mdb."));
    p.process(app);

    auto fehler = [](const QString& text) {
        std::fprintf(stderr, "beispieldaten: %s\n", text.toLocal8Bit().constData());
        return 1;
    };
    if (p.positionalArguments().size() != 1) return fehler(QStringLiteral("Bitte genau eine Ausgabedatei angeben (--help)."));
    tools::Umfang umfang;
    const QString groesse = p.value(QStringLiteral("groesse"));
    if (!tools::UmfangFuer(groesse, &umfang))
        return fehler(QStringLiteral("Unbekannte Größe '%1' (%2).").arg(groesse, tools::Groessen().join(QStringLiteral(", "))));
    bool ok = false;
    const quint64 seed = p.value(QStringLiteral("seed")).toULongLong(&ok);
    if (!ok) return fehler(QStringLiteral("'%1' ist kein gültiger Startwert.").arg(p.value(QStringLiteral("seed"))));
    const QDate bis = QDate::fromString(p.value(QStringLiteral("bis")), Qt::ISODate);
    if (!bis.isValid()) return fehler(QStringLiteral("'%1' ist kein gültiges Datum (JJJJ-MM-TT).").arg(p.value(QStringLiteral("bis"))));

    const QString datei = p.positionalArguments().at(0);
    try {
        const tools::Ergebnis e = tools::BeispieldatenSchreiben(datei, umfang, seed, bis);
        std::printf("%s: %d Adressen, %d Artikel, %lld Lieferscheine (%lld Rechnungen, davon %lld bezahlt), "
                    "%lld Positionen in %.1f s\n",
                    datei.toLocal8Bit().constData(), umfang.adressen, umfang.artikel, e.lieferscheine, e.rechnungen,
                    e.bezahlt, e.positionen, e.sekunden);
    } catch (const data::Fehler& f) {
        return fehler(f.text());
    }
    return 0;
}
