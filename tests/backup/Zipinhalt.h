#pragma once
// The entries of a zip archive as a second zip library reads them: name,
// compression method and content. Empty when the archive cannot be opened.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <zip.h>

struct Eintrag {
    QString name;
    int methode = -1;
    QByteArray daten;
};

inline QList<Eintrag> Archiv(const QString& pfad)
{
    QList<Eintrag> eintraege;
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(pfad).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) return eintraege;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0) continue;
        Eintrag e{QString::fromUtf8(st.name), st.comp_method, QByteArray(qsizetype(st.size), '\0')};
        if (zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0)) {
            e.daten.resize(qsizetype(zip_fread(f, e.daten.data(), st.size)));
            zip_fclose(f);
        }
        eintraege << e;
    }
    zip_discard(za);
    return eintraege;
}
