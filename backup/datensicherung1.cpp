#include "backup/datensicherung1.h"

#include "backup/ServerSicherung.h"
#include "backup/ZipArchiv.h"
#include "backup/backend_komprimieren.h"
#include "platform/Dateien.h"
#include "platform/IniDatei.h"
#include "platform/Pfade.h"
#include "ui/Meldungen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLockFile>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QShowEvent>
#include <QStyle>
#include <QTemporaryFile>
#include <QThread>

#include <atomic>
#include <functional>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace backup {

namespace {

const char* const kAbschnitt = "Datensicherung";
const char* const kSchluessel = "Ziel";
const char* const kArchiv = "Ordavo.zip";
const char* const kEintrag = "ordavo_tab.mdb";
// The entry of a backup of the database server: pg_dump's SQL.
const char* const kEintragServer = "ordavo.sql";

QString MitTrenner(QString ordner)
{
    if (!ordner.endsWith(QLatin1Char('/')) && !ordner.endsWith(QDir::separator()))
        ordner += QDir::separator();
    return ordner;
}

// The working folder lies in the shared temporary folder, so it must be ours
// alone: created by us with access for nobody else, never a link someone laid.
// With `anlegen` false a missing folder is no error but not ours either.
bool PrivaterOrdner(const QString& ordner, QString* fehler, bool anlegen = true)
{
#ifdef Q_OS_UNIX
    const QByteArray pfad = QFile::encodeName(ordner);
    if (anlegen && ::mkdir(pfad.constData(), 0700) != 0 && errno != EEXIST) {
        *fehler = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(ordner);
        return false;
    }
    struct stat st {};
    if (::lstat(pfad.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || (st.st_mode & 077) != 0) {
        *fehler = QStringLiteral("Der Ordner %1 gehört nicht diesem Benutzer allein.").arg(ordner);
        return false;
    }
    return true;
#else
    if (!anlegen ? QFileInfo(ordner).isDir() : QDir().mkpath(ordner)) return true;
    *fehler = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(ordner);
    return false;
#endif
}

// The temporary archives a run writes before it renames one into place;
// a run that was killed leaves one behind.
const char* const kTempMuster = "Ordavo.zip.XXXXXX";

// A temporary archive of ours: our name with six letters or digits, a plain
// file, and either empty or beginning like a zip archive.
bool IstUnserTempArchiv(const QFileInfo& info)
{
    static const QRegularExpression muster(QStringLiteral("^Ordavo\\.zip\\.[A-Za-z0-9]{6}$"));
    if (!muster.match(info.fileName()).hasMatch() || info.isSymLink() || !info.isFile()) return false;
    QFile f(info.filePath());
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray anfang = f.read(4);
    return anfang.isEmpty() || anfang == QByteArray("PK\x03\x04", 4);
}

// The server's dump a run writes before packing it.
const char* const kDumpMuster = "Ordavo.sql.XXXXXX";

// A dump of ours: our name, a plain file, empty or beginning as pg_dump's SQL does.
bool IstUnserDump(const QFileInfo& info)
{
    static const QRegularExpression muster(QStringLiteral("^Ordavo\\.sql\\.[A-Za-z0-9]{6}$"));
    if (!muster.match(info.fileName()).hasMatch() || info.isSymLink() || !info.isFile()) return false;
    QFile f(info.filePath());
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray anfang = f.read(2);
    return anfang.isEmpty() || anfang == "--";
}

// Copies `quelle` to `ziel` under a temporary name beside `ziel`, then puts
// it in place in one rename: an older `ziel` stays until the copy is complete.
bool KopiereUeber(const QString& quelle, const QString& ziel, const std::function<void(double)>& fortschritt)
{
    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly)) return false;
    const double groesse = double(qMax<qint64>(1, ein.size()));
    qint64 kopiert = 0;
    QSaveFile aus(ziel);
    if (!aus.open(QIODevice::WriteOnly)) return false;
    QByteArray puffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = ein.read(puffer.data(), puffer.size());
        if (n < 0) {
            aus.cancelWriting();
            return false;
        }
        if (n == 0) break;
        if (aus.write(puffer.constData(), n) != n) {
            aus.cancelWriting();
            return false;
        }
        kopiert += n;
        fortschritt(double(kopiert) / groesse);
    }
    return aus.commit();
}

// Held in the working folder while a backup runs, so that a second copy of
// the tool neither runs at the same time nor takes the files of the running
// one for leftovers. A lock left by a killed run counts as free.
std::unique_ptr<QLockFile> Sperre(const QString& arbeitsordner)
{
    auto sperre = std::make_unique<QLockFile>(MitTrenner(arbeitsordner) + QStringLiteral("datensicherung.lock"));
    if (!sperre->tryLock(0)) return nullptr;
    return sperre;
}

// What a run that was killed or ran out of space left behind: the temporary
// archives in the working folder and the compaction's copy beside the
// database. Only files that are clearly the tool's own, and only when no
// other run is under way.
void ResteEntfernen(const Datensicherungspfade& pfade)
{
    QString fehler;
    std::unique_ptr<QLockFile> sperre;
    if (QFileInfo::exists(pfade.arbeitsordner)) {
        // Not ours, or another run holds it: leave everything as it is.
        if (!PrivaterOrdner(pfade.arbeitsordner, &fehler, false)) return;
        sperre = Sperre(pfade.arbeitsordner);
        if (!sperre) return;
        const QStringList muster{QStringLiteral("Ordavo.zip.*"), QStringLiteral("Ordavo.sql.*")};
        const QFileInfoList dateien =
            QDir(pfade.arbeitsordner).entryInfoList(muster, QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo& info : dateien)
            if (IstUnserTempArchiv(info) || IstUnserDump(info)) QFile::remove(info.filePath());
    }
    // Without a working folder no run is under way: each run makes it first.
    VerdichtungsresteEntfernen(pfade.datenbank);
}

// Puts the working archive at the destination. On the same file system one
// rename puts the complete new archive in place of the old one; elsewhere it
// is copied, and the old archive is replaced only by a complete copy.
bool ArchivVerschieben(const QString& arbeitsarchiv, const QString& archivname,
                       const std::function<void(double)>& fortschritt)
{
    // The destination is the working folder itself: the archive is already there.
    if (platform::GleicheDatei(arbeitsarchiv, archivname)) return true;
    platform::AufPlatteSchreiben(arbeitsarchiv);
    if (platform::ErsetzeDatei(arbeitsarchiv, archivname)) {
        platform::AufPlatteSchreiben(archivname);
        return true;
    }
    if (!KopiereUeber(arbeitsarchiv, archivname, fortschritt)) return false;
    QFile::remove(arbeitsarchiv);
    return true;
}

// Creates a new, empty temporary archive and returns its name. Unlike a
// temporary file it gets the permissions of any new file (the user's umask),
// since it becomes the archive.
QString NeuesTempArchiv(const QString& arbeitsordner, QString* fehler)
{
    static const char zeichen[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int versuch = 0; versuch < 100; ++versuch) {
        QString name = MitTrenner(arbeitsordner) + QString::fromLatin1(kTempMuster);
        for (qsizetype i = name.size() - 6; i < name.size(); ++i)
            name[i] = QLatin1Char(zeichen[QRandomGenerator::global()->bounded(int(sizeof zeichen) - 1)]);
        QFile datei(name);
        if (datei.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return name;
        if (datei.exists()) continue;
        *fehler = datei.errorString();
        return QString();
    }
    *fehler = QStringLiteral("Kein freier Name für ein temporäres Archiv.");
    return QString();
}

struct Ergebnis {
    // Komprimieren: the database could not be read into a copy (compaction or
    // dump); its text says why.
    enum Art { Erfolg, Komprimieren, Archiv, Verschieben } art = Erfolg;
    QString text;
};

// How the bar is shared among the steps, after their usual time.
constexpr double kAnteilPruefen = 0.25;
constexpr double kAnteilPacken = 0.70;
// On the server the dump takes the place of the check and compaction. Its
// size is not known beforehand: the bar approaches the step's end as the
// dump grows, half way at this size.
constexpr double kAnteilAuslesen = 0.45;
constexpr double kAnteilPackenServer = 0.50;
constexpr double kDumpHalbwegs = 32.0 * 1024 * 1024;

const QString kSchrittPruefen = QStringLiteral("Prüfen und Komprimieren");
const QString kSchrittAuslesen = QStringLiteral("Datenbank auslesen");
const QString kSchrittPacken = QStringLiteral("Packen");
const QString kSchrittVerschieben = QStringLiteral("Verschieben");

// The whole backup, on a thread of its own: nothing here touches a window.
// The checked copy of the database is packed first and only then put in place
// of the database, so a failure on the way leaves the database as it was.
// A database on the server is dumped into the working folder and packed; the
// server has no file to compact.
Ergebnis Sichern(const Datensicherungspfade& pfade, const QString& arbeitsarchiv, const QString& archivname,
                 const std::function<void(double, const QString&)>& melde)
{
    const bool server = !pfade.server.isEmpty();
    const double anteilErster = server ? kAnteilAuslesen : kAnteilPruefen;
    const double anteilPacken = server ? kAnteilPackenServer : kAnteilPacken;
    QString fehler;
    QString quelle;
    std::optional<Verdichtung> verdichtung;
    QTemporaryFile dump(MitTrenner(pfade.arbeitsordner) + QString::fromLatin1(kDumpMuster));
    if (server) {
        if (!dump.open()) return {Ergebnis::Archiv, dump.errorString()};
        dump.close();
        quelle = dump.fileName();
        if (!ServerAuslesen(pfade.server, quelle, &fehler, [&](qint64 bytes) {
                melde(kAnteilAuslesen * double(bytes) / (double(bytes) + kDumpHalbwegs), kSchrittAuslesen);
            }))
            return {Ergebnis::Komprimieren, fehler};
    } else {
        std::atomic<double> geprueft{0}, verdichtet{0};
        auto ersterSchritt = [&] {
            melde(kAnteilPruefen * (0.75 * geprueft.load() + 0.25 * verdichtet.load()), kSchrittPruefen);
        };
        verdichtung.emplace(pfade.datenbank);
        if (!verdichtung->kopieErstellen(
                &fehler, [&](double a) { geprueft = a; ersterSchritt(); },
                [&](double a) { verdichtet = a; ersterSchritt(); }))
            return {Ergebnis::Komprimieren, fehler};
        quelle = verdichtung->kopie();
    }

    const QString tempName = NeuesTempArchiv(pfade.arbeitsordner, &fehler);
    if (tempName.isEmpty()) return {Ergebnis::Archiv, fehler};
    if (!ZipSchreiben(quelle, QString::fromLatin1(server ? kEintragServer : kEintrag), tempName, &fehler,
                      [&](double a) { melde(anteilErster + anteilPacken * a, kSchrittPacken); })) {
        QFile::remove(tempName);
        return {Ergebnis::Archiv, fehler};
    }
    dump.remove();
    if (verdichtung && !verdichtung->einsetzen(&fehler)) {
        QFile::remove(tempName);
        return {Ergebnis::Komprimieren, fehler};
    }
    platform::AufPlatteSchreiben(tempName);
    if (!platform::ErsetzeDatei(tempName, arbeitsarchiv, &fehler)) {
        QFile::remove(tempName);
        return {Ergebnis::Archiv, fehler};
    }
    melde(anteilErster + anteilPacken, kSchrittVerschieben);
    if (!ArchivVerschieben(arbeitsarchiv, archivname, [&](double a) {
            melde(anteilErster + anteilPacken + (1 - anteilErster - anteilPacken) * a, kSchrittVerschieben);
        }))
        return {Ergebnis::Verschieben, QString()};
    melde(1.0, kSchrittVerschieben);
    return {};
}

}  // namespace

Datensicherungspfade Datensicherungspfade::Standard()
{
    Datensicherungspfade p;
    p.einstellungsdatei = platform::OrdavoIni();
    p.datenbank = QDir::current().absoluteFilePath(QStringLiteral("ordavo_tab.mdb"));
#ifdef Q_OS_UNIX
    p.arbeitsordner = QDir::tempPath() + QStringLiteral("/ordavo-datensicherung-")
                      + QString::number(::getuid());
#else
    p.arbeitsordner = QDir::tempPath() + QStringLiteral("/ordavo-datensicherung");
#endif
    p.server = platform::Datenbankserver();
    return p;
}

TForm_Datensicherung::TForm_Datensicherung(QWidget* parent)
    : TForm_Datensicherung(Datensicherungspfade::Standard(), parent)
{
}

TForm_Datensicherung::TForm_Datensicherung(const Datensicherungspfade& pfade, QWidget* parent)
    : QDialog(parent), m_pfade(pfade)
{
    ui.setupUi(this);
    ui.BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    // Showing the label must not move the buttons.
    QSizePolicy politik = ui.Label5->sizePolicy();
    politik.setRetainSizeWhenHidden(true);
    ui.Label5->setSizePolicy(politik);
    ui.Label5->hide();
    politik = ui.Fortschritt->sizePolicy();
    politik.setRetainSizeWhenHidden(true);
    ui.Fortschritt->setSizePolicy(politik);
    ui.Fortschritt->hide();

    ResteEntfernen(m_pfade);

    connect(ui.BitBtn1, &QPushButton::clicked, this, &TForm_Datensicherung::BitBtn1Click);
    connect(ui.BitBtn2, &QPushButton::clicked, this, &TForm_Datensicherung::BitBtn2Click);
    connect(ui.BitBtn3, &QPushButton::clicked, this, &TForm_Datensicherung::BitBtn3Click);
}

TForm_Datensicherung::~TForm_Datensicherung() = default;

QString TForm_Datensicherung::StandardZiel()
{
    return MitTrenner(QDir::toNativeSeparators(QDir::homePath()));
}

void TForm_Datensicherung::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Window managers need not activate a window that starts while another
    // program closes; the destination must be shown all the same.
    if (!event->spontaneous()) FormActivate();
}

void TForm_Datensicherung::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm_Datensicherung::closeEvent(QCloseEvent* event)
{
    // Not in the middle of replacing the database or the archive.
    if (m_laeuft) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm_Datensicherung::FormActivate()
{
    if (m_zielNurDiesmal) {
        ui.Label6->setText(*m_zielNurDiesmal);
        return;
    }
    const platform::IniDatei ini(m_pfade.einstellungsdatei);
    ui.Label6->setText(ini.lesen(QString::fromLatin1(kAbschnitt), QString::fromLatin1(kSchluessel),
                                  StandardZiel()));
}

void TForm_Datensicherung::BitBtn3Click()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Only the folder is taken; the archive is replaced safely later.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(ui.Label6->text());
    dialog.selectFile(QString::fromLatin1(kArchiv));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;

    const QString ordner =
        MitTrenner(QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().constFirst()).absolutePath()));
    ui.Label6->setText(ordner);

    platform::IniDatei ini(m_pfade.einstellungsdatei);
    if (ini.schreiben(QString::fromLatin1(kAbschnitt), QString::fromLatin1(kSchluessel), ordner)) {
        m_zielNurDiesmal.reset();
    } else {
        m_zielNurDiesmal = ordner;
        ui::Hinweis(QStringLiteral("In %1 kann nicht geschrieben werden")
                        .arg(QDir::toNativeSeparators(m_pfade.einstellungsdatei)),
                    this);
    }
}

void TForm_Datensicherung::BitBtn2Click()
{
    close();
}

void TForm_Datensicherung::ZeigeFortschritt(int promille, const QString& schritt)
{
    ui.Fortschritt->setValue(promille);
    ui.Fortschritt->setFormat(schritt + QStringLiteral(" – %p %"));
}

void TForm_Datensicherung::BitBtn1Click()
{
    if (m_laeuft) return;
    m_laeuft = true;
    struct Ende {
        bool& laeuft;
        ~Ende() { laeuft = false; }
    } ende{m_laeuft};

    // The destination as shown; without a trailing separator it is glued to
    // the file name, as it always was.
    const QString archivname = ui.Label6->text() + QString::fromLatin1(kArchiv);
    const QString arbeitsarchiv = MitTrenner(m_pfade.arbeitsordner) + QString::fromLatin1(kArchiv);

    QString fehler;
    std::unique_ptr<QLockFile> sperre;
    if (!PrivaterOrdner(m_pfade.arbeitsordner, &fehler)
        || !(sperre = Sperre(m_pfade.arbeitsordner), sperre)) {
        if (fehler.isEmpty())
            fehler = QStringLiteral("Eine andere Datensicherung läuft gerade. Bitte warten Sie, bis sie fertig ist.");
        ui::Hinweis(QStringLiteral("Das Archiv %1 konnte nicht erstellt werden:\n%2")
                        .arg(QDir::toNativeSeparators(arbeitsarchiv), fehler),
                    this);
        ui::Hinweis(QStringLiteral("Die Datensicherung war nicht erfolgreich.\n\r\n\r"
                                   "Kontrollieren sie bitte, ob eine Diskette im Diskettenlaufwerk eingelegt ist."),
                    this);
        return;
    }

    // The work runs on a thread of its own; the window keeps painting and
    // shows the progress, its buttons are off meanwhile.
    const QList<QWidget*> knoepfe{ui.BitBtn1, ui.BitBtn2, ui.BitBtn3};
    for (QWidget* k : knoepfe) k->setEnabled(false);
    ZeigeFortschritt(0, m_pfade.server.isEmpty() ? kSchrittPruefen : kSchrittAuslesen);
    ui.Label5->show();
    ui.Fortschritt->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    std::atomic<int> gemeldet{-1};
    auto melde = [this, &gemeldet](double anteil, const QString& schritt) {
        const int promille = qBound(0, int(anteil * 1000), 1000);
        // Only changes are sent, and only forward: two threads report the first step.
        int vorher = gemeldet.load();
        do {
            if (promille <= vorher) return;
        } while (!gemeldet.compare_exchange_weak(vorher, promille));
        QMetaObject::invokeMethod(
            this, [this, promille, schritt] { ZeigeFortschritt(promille, schritt); }, Qt::QueuedConnection);
    };
    Ergebnis ergebnis;
    const Datensicherungspfade pfade = m_pfade;
    QEventLoop warten;
    std::unique_ptr<QThread> arbeit(
        QThread::create([&] { ergebnis = Sichern(pfade, arbeitsarchiv, archivname, melde); }));
    connect(arbeit.get(), &QThread::finished, &warten, &QEventLoop::quit);
    arbeit->start();
    warten.exec();
    arbeit->wait();
    // Reports still queued must not arrive after the window has moved on.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    sperre.reset();

    QApplication::restoreOverrideCursor();
    ui.Label5->hide();
    ui.Fortschritt->hide();
    for (QWidget* k : knoepfe) k->setEnabled(true);

    switch (ergebnis.art) {
    case Ergebnis::Komprimieren:
        ui::Hinweis(ergebnis.text, this);
        return;
    case Ergebnis::Archiv:
        ui::Hinweis(QStringLiteral("Das Archiv %1 konnte nicht erstellt werden:\n%2")
                        .arg(QDir::toNativeSeparators(arbeitsarchiv), ergebnis.text),
                    this);
        [[fallthrough]];
    case Ergebnis::Verschieben:
        ui::Hinweis(QStringLiteral("Die Datensicherung war nicht erfolgreich.\n\r\n\r"
                                   "Kontrollieren sie bitte, ob eine Diskette im Diskettenlaufwerk eingelegt ist."),
                    this);
        return;
    case Ergebnis::Erfolg:
        break;
    }
    ui::Hinweis(QStringLiteral("Die Datensicherung war erfolgreich.\n\r\n\rDie Sicherung lautet: ") + archivname,
                this);
    m_laeuft = false;
    close();
}

}  // namespace backup
