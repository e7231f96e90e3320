#include "backup/ZipArchiv.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <zip.h>  // minizip: writes the archive around deflate data made here
#include <zlib.h>

#include <deque>
#include <future>

namespace backup {

namespace {

// What deflate may refer back to: the priming dictionary of the next block.
constexpr int kFenster = 32 * 1024;

struct Gepackt {
    QByteArray daten;  // raw deflate data of the block
    uLong crc = 0;
    qint64 laenge = 0;
    bool ok = false;
};

// Deflates one block. All but the last end with a sync flush, which closes
// the block on a byte boundary without ending the stream, so the blocks can be
// written one after the other as one stream.
Gepackt PackeBlock(const QByteArray& block, const QByteArray& woerterbuch, bool letzter)
{
    Gepackt g;
    g.laenge = block.size();
    g.crc = crc32_z(crc32_z(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(block.constData()), size_t(block.size()));
    z_stream s{};
    if (deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return g;
    if (!woerterbuch.isEmpty()
        && deflateSetDictionary(&s, reinterpret_cast<const Bytef*>(woerterbuch.constData()), uInt(woerterbuch.size()))
               != Z_OK) {
        deflateEnd(&s);
        return g;
    }
    g.daten.resize(qsizetype(deflateBound(&s, uLong(block.size()))) + 64);
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.constData()));
    s.avail_in = uInt(block.size());
    qsizetype geschrieben = 0;
    const int flush = letzter ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        if (geschrieben == g.daten.size()) g.daten.resize(g.daten.size() + 65536);
        s.next_out = reinterpret_cast<Bytef*>(g.daten.data() + geschrieben);
        s.avail_out = uInt(g.daten.size() - geschrieben);
        const int rc = deflate(&s, flush);
        geschrieben = g.daten.size() - qsizetype(s.avail_out);
        if (rc == Z_STREAM_ERROR) break;
        if (letzter ? rc == Z_STREAM_END : (s.avail_in == 0 && s.avail_out != 0)) {
            g.ok = true;
            break;
        }
    }
    deflateEnd(&s);
    g.daten.resize(geschrieben);
    return g;
}

class Archiv {
public:
    explicit Archiv(const QString& pfad) : m_zf(zipOpen64(QFile::encodeName(pfad).constData(), APPEND_STATUS_CREATE)) {}
    ~Archiv()
    {
        if (m_zf) zipClose(m_zf, nullptr);
    }
    zipFile handle() const { return m_zf; }
    bool schliessen()
    {
        const bool ok = zipClose(m_zf, nullptr) == ZIP_OK;
        m_zf = nullptr;
        return ok;
    }

private:
    zipFile m_zf;
};

bool Scheitert(QString* fehler, const QString& text)
{
    if (fehler) *fehler = text;
    return false;
}

}  // namespace

bool ZipSchreiben(const QString& quelle, const QString& eintrag, const QString& archiv, QString* fehler,
                  const std::function<void(double)>& fortschritt, qint64 blockgroesse, int faeden)
{
    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly))
        return Scheitert(fehler, QStringLiteral("%1 kann nicht gelesen werden: %2").arg(quelle, ein.errorString()));
    const qint64 groesse = ein.size();
    if (blockgroesse < kFenster) blockgroesse = kFenster;
    if (faeden <= 0) faeden = qMax(1, QThread::idealThreadCount());

    Archiv zip(archiv);
    if (!zip.handle()) return Scheitert(fehler, QStringLiteral("%1 kann nicht angelegt werden.").arg(archiv));
    const QString schreibfehler = QStringLiteral("In %1 kann nicht geschrieben werden.").arg(archiv);

    zip_fileinfo info{};
    const QDateTime zeit = QFileInfo(quelle).lastModified();
    info.tmz_date.tm_year = uInt(zeit.date().year());
    info.tmz_date.tm_mon = uInt(zeit.date().month() - 1);
    info.tmz_date.tm_mday = uInt(zeit.date().day());
    info.tmz_date.tm_hour = uInt(zeit.time().hour());
    info.tmz_date.tm_min = uInt(zeit.time().minute());
    info.tmz_date.tm_sec = uInt(zeit.time().second());
    // Raw mode: minizip writes the deflate data as given and records level 9
    // in the entry's flags.
    const int zip64 = groesse >= 0xffffffffLL ? 1 : 0;
    if (zipOpenNewFileInZip3_64(zip.handle(), eintrag.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, 9, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, zip64)
        != ZIP_OK)
        return Scheitert(fehler, schreibfehler);

    // Blocks are read and written in order; up to two per thread are packed meanwhile.
    std::deque<std::future<Gepackt>> inArbeit;
    uLong crc = crc32_z(0L, Z_NULL, 0);
    qint64 gelesen = 0, gepackt = 0;
    QByteArray vorher;
    bool ok = true;
    auto schreibeErsten = [&]() {
        Gepackt g = inArbeit.front().get();
        inArbeit.pop_front();
        if (!g.ok) return Scheitert(fehler, QStringLiteral("Die Daten konnten nicht komprimiert werden."));
        if (!g.daten.isEmpty()
            && zipWriteInFileInZip(zip.handle(), g.daten.constData(), unsigned(g.daten.size())) != ZIP_OK)
            return Scheitert(fehler, schreibfehler);
        crc = crc32_combine64(crc, g.crc, g.laenge);
        gepackt += g.laenge;
        if (fortschritt && groesse > 0) fortschritt(double(gepackt) / double(groesse));
        return true;
    };
    do {
        QByteArray block = ein.read(qMin(blockgroesse, groesse - gelesen));
        if (block.size() != qMin(blockgroesse, groesse - gelesen)) {
            ok = Scheitert(fehler, QStringLiteral("%1 kann nicht gelesen werden: %2").arg(quelle, ein.errorString()));
            break;
        }
        gelesen += block.size();
        const bool letzter = gelesen >= groesse;
        QByteArray woerterbuch = vorher.right(kFenster);
        inArbeit.push_back(std::async(std::launch::async, PackeBlock, block, woerterbuch, letzter));
        vorher = block;
        while (ok && (inArbeit.size() >= size_t(2 * faeden) || (letzter && !inArbeit.empty())))
            ok = schreibeErsten();
        if (letzter) break;
    } while (ok);
    // Threads still packing are waited for by their futures.
    if (!ok) return false;
    if (zipCloseFileInZipRaw64(zip.handle(), ZPOS64_T(groesse), crc) != ZIP_OK) return Scheitert(fehler, schreibfehler);
    if (!zip.schliessen()) return Scheitert(fehler, schreibfehler);
    return true;
}

}  // namespace backup
