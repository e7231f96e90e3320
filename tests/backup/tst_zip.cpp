// The backup archive packed on several threads: a standard zip that other
// tools open and unpack to the very bytes, hardly larger than packed in one go.
#include "backup/ZipArchiv.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>  // libzip: a reader independent of the writer
#include <zlib.h>

namespace {

// 1 MiB of noise, then a 20 KiB piece of noise over and over: blocks in the
// second part compress well only if they may refer back into the block before.
QByteArray Testdaten()
{
    QRandomGenerator zufall(42);
    QByteArray rauschen(1 << 20, Qt::Uninitialized);
    zufall.fillRange(reinterpret_cast<quint32*>(rauschen.data()), rauschen.size() / 4);
    const QByteArray stueck = rauschen.mid(5000, 20 * 1024);
    QByteArray daten = rauschen;
    while (daten.size() < 3 * (1 << 20) + 12345) daten += stueck;
    return daten;
}

// The size of the same data deflated at level 9 in one stream.
qint64 InEinemStueck(const QByteArray& daten)
{
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray aus(qsizetype(deflateBound(&s, uLong(daten.size()))), Qt::Uninitialized);
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(daten.constData()));
    s.avail_in = uInt(daten.size());
    s.next_out = reinterpret_cast<Bytef*>(aus.data());
    s.avail_out = uInt(aus.size());
    deflate(&s, Z_FINISH);
    const qint64 n = qint64(s.total_out);
    deflateEnd(&s);
    return n;
}

}  // namespace

class TestZip : public QObject {
    Q_OBJECT

private slots:
    void packtInBloecken_data();
    void packtInBloecken();
};

void TestZip::packtInBloecken_data()
{
    QTest::addColumn<int>("bloecke");
    QTest::newRow("1 Block") << 1;
    QTest::newRow("2 Bloecke") << 2;
    QTest::newRow("8 Bloecke") << 8;
}

void TestZip::packtInBloecken()
{
    QFETCH(int, bloecke);
    static const QByteArray daten = Testdaten();
    QTemporaryDir ordner;
    QVERIFY(ordner.isValid());
    const QString quelle = ordner.filePath(QStringLiteral("ordavo_tab.mdb"));
    const QString archiv = ordner.filePath(QStringLiteral("Ordavo.zip"));
    {
        QFile f(quelle);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(daten), daten.size());
    }
    QList<double> fortschritt;
    QString fehler;
    const qint64 blockgroesse = (daten.size() + bloecke - 1) / bloecke;
    QVERIFY2(backup::ZipSchreiben(quelle, QStringLiteral("ordavo_tab.mdb"), archiv, &fehler,
                                  [&](double a) { fortschritt << a; }, blockgroesse, 4),
             qPrintable(fehler));
    QCOMPARE(fortschritt.size(), bloecke);
    QCOMPARE(fortschritt.last(), 1.0);

    // Another tool tests it clean.
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-t"), archiv});
    QVERIFY2(unzip.waitForFinished(60000), "unzip fehlt (Paket unzip)");
    QVERIFY2(unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() == 0, unzip.readAll().constData());

    // One deflated entry under the bare name that unpacks to the very bytes.
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(archiv).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    QVERIFY(za);
    QCOMPARE(zip_get_num_entries(za, 0), zip_int64_t(1));
    zip_stat_t st;
    QCOMPARE(zip_stat_index(za, 0, 0, &st), 0);
    QCOMPARE(QString::fromUtf8(st.name), QStringLiteral("ordavo_tab.mdb"));
    QCOMPARE(int(st.comp_method), ZIP_CM_DEFLATE);
    QByteArray entpackt(qsizetype(st.size), Qt::Uninitialized);
    zip_file_t* f = zip_fopen_index(za, 0, 0);
    QVERIFY(f);
    QCOMPARE(zip_fread(f, entpackt.data(), st.size), zip_int64_t(daten.size()));
    zip_fclose(f);
    zip_discard(za);
    QVERIFY(entpackt == daten);

    // The blocks cost next to nothing: each may refer back into the one before.
    QVERIFY2(double(st.comp_size) <= 1.01 * double(InEinemStueck(daten)),
             qPrintable(QStringLiteral("%1 gegen %2").arg(st.comp_size).arg(InEinemStueck(daten))));
}

QTEST_MAIN(TestZip)
#include "tst_zip.moc"
