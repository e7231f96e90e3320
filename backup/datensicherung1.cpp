#include "backup/datensicherung1.h"

#include "backup/backend_komprimieren.h"
#include "platform/Dateien.h"
#include "platform/IniDatei.h"
#include "platform/Pfade.h"
#include "ui/Meldungen.h"
#include "ui_datensicherung1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QShowEvent>
#include <QStyle>

#include <zip.h>

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

void Zwischendurch()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString MitTrenner(QString ordner)
{
    if (!ordner.endsWith(QLatin1Char('/')) && !ordner.endsWith(QDir::separator()))
        ordner += QDir::separator();
    return ordner;
}

// The working folder lies in the shared temporary folder, so it must be ours
// alone: created by us with access for nobody else, never a link someone laid.
bool PrivaterOrdner(const QString& ordner, QString* fehler)
{
#ifdef Q_OS_UNIX
    const QByteArray pfad = QFile::encodeName(ordner);
    if (::mkdir(pfad.constData(), 0700) != 0 && errno != EEXIST) {
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
    if (QDir().mkpath(ordner)) return true;
    *fehler = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(ordner);
    return false;
#endif
}

void ZipFortschritt(zip_t*, double, void* zuletzt)
{
    auto* timer = static_cast<QElapsedTimer*>(zuletzt);
    if (timer->elapsed() >= 100) {
        Zwischendurch();
        timer->restart();
    }
}

QString ZipFehler(zip_error_t* fehler)
{
    return QString::fromLocal8Bit(zip_error_strerror(fehler));
}

// Copies `quelle` to `ziel` under a temporary name beside `ziel`, then puts
// it in place in one rename: an older `ziel` stays until the copy is complete.
bool KopiereUeber(const QString& quelle, const QString& ziel)
{
    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly)) return false;
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
        Zwischendurch();
    }
    return aus.commit();
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
    return p;
}

TForm_Datensicherung::TForm_Datensicherung(QWidget* parent)
    : TForm_Datensicherung(Datensicherungspfade::Standard(), parent)
{
}

TForm_Datensicherung::TForm_Datensicherung(const Datensicherungspfade& pfade, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm_Datensicherung>()), m_pfade(pfade)
{
    ui->setupUi(this);
    ui->BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    // Showing the label must not move the buttons.
    QSizePolicy politik = ui->Label5->sizePolicy();
    politik.setRetainSizeWhenHidden(true);
    ui->Label5->setSizePolicy(politik);
    ui->Label5->hide();

    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm_Datensicherung::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TForm_Datensicherung::BitBtn2Click);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &TForm_Datensicherung::BitBtn3Click);
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
        ui->Label6->setText(*m_zielNurDiesmal);
        return;
    }
    const platform::IniDatei ini(m_pfade.einstellungsdatei);
    ui->Label6->setText(ini.lesen(QString::fromLatin1(kAbschnitt), QString::fromLatin1(kSchluessel),
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
    dialog.setDirectory(ui->Label6->text());
    dialog.selectFile(QString::fromLatin1(kArchiv));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;

    const QString ordner =
        MitTrenner(QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().constFirst()).absolutePath()));
    ui->Label6->setText(ordner);

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
    const QString archivname = ui->Label6->text() + QString::fromLatin1(kArchiv);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString fehler;
    if (!DatenbankKomprimieren(m_pfade.datenbank, &fehler)) {
        QApplication::restoreOverrideCursor();
        ui::Hinweis(fehler, this);
        return;
    }

    ui->Label5->show();
    Zwischendurch();
    ui->Label5->repaint();

    const QString arbeitsarchiv = MitTrenner(m_pfade.arbeitsordner) + QString::fromLatin1(kArchiv);
    const bool verschoben = ArchivErstellen(arbeitsarchiv) && ArchivVerschieben(arbeitsarchiv, archivname);

    ui->Label5->hide();
    QApplication::restoreOverrideCursor();

    if (verschoben) {
        ui::Hinweis(QStringLiteral("Die Datensicherung war erfolgreich.\n\r\n\rDie Sicherung lautet: ")
                        + archivname,
                    this);
        m_laeuft = false;
        close();
    } else {
        ui::Hinweis(QStringLiteral("Die Datensicherung war nicht erfolgreich.\n\r\n\r"
                                   "Kontrollieren sie bitte, ob eine Diskette im Diskettenlaufwerk eingelegt ist."),
                    this);
    }
}

bool TForm_Datensicherung::ArchivErstellen(const QString& arbeitsarchiv)
{
    auto melde = [this, &arbeitsarchiv](const QString& grund) {
        QApplication::restoreOverrideCursor();
        ui::Hinweis(QStringLiteral("Das Archiv %1 konnte nicht erstellt werden:\n%2")
                        .arg(QDir::toNativeSeparators(arbeitsarchiv), grund),
                    this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return false;
    };

    QString fehler;
    if (!PrivaterOrdner(m_pfade.arbeitsordner, &fehler)) return melde(fehler);

    const QByteArray pfad = QFile::encodeName(arbeitsarchiv);
    int code = 0;
    // A working archive left by an earlier run is updated.
    zip_t* archiv = zip_open(pfad.constData(), ZIP_CREATE, &code);
    if (!archiv && (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS) && QFile::remove(arbeitsarchiv)) {
        // It was not a readable archive, only our own leftover: start afresh.
        archiv = zip_open(pfad.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    }
    if (!archiv) {
        zip_error_t zf;
        zip_error_init_with_code(&zf, code);
        const QString text = ZipFehler(&zf);
        zip_error_fini(&zf);
        return melde(text);
    }

    // libzip reads the database only in zip_close.
    zip_source_t* quelle = zip_source_file(archiv, QFile::encodeName(m_pfade.datenbank).constData(), 0, -1);
    if (!quelle) {
        const QString text = ZipFehler(zip_get_error(archiv));
        zip_discard(archiv);
        return melde(text);
    }
    const zip_int64_t index =
        zip_file_add(archiv, kEintrag, quelle, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        const QString text = ZipFehler(zip_get_error(archiv));
        zip_source_free(quelle);
        zip_discard(archiv);
        return melde(text);
    }
    if (zip_set_file_compression(archiv, zip_uint64_t(index), ZIP_CM_DEFLATE, 9) != 0) {
        const QString text = ZipFehler(zip_get_error(archiv));
        zip_discard(archiv);
        return melde(text);
    }
    QElapsedTimer zuletzt;
    zuletzt.start();
    zip_register_progress_callback_with_state(archiv, 0.001, &ZipFortschritt, nullptr, &zuletzt);
    if (zip_close(archiv) != 0) {
        const QString text = ZipFehler(zip_get_error(archiv));
        zip_discard(archiv);
        return melde(text);
    }
    return true;
}

bool TForm_Datensicherung::ArchivVerschieben(const QString& arbeitsarchiv, const QString& archivname)
{
    // The destination is the working folder itself: the archive is already there.
    if (platform::GleicheDatei(arbeitsarchiv, archivname)) return true;

    // On the same file system one rename puts the complete new archive in
    // place of the old one.
    platform::AufPlatteSchreiben(arbeitsarchiv);
    if (platform::ErsetzeDatei(arbeitsarchiv, archivname)) {
        platform::AufPlatteSchreiben(archivname);
        return true;
    }
    // Elsewhere it is copied; the old archive is replaced only by a complete copy.
    if (!KopiereUeber(arbeitsarchiv, archivname)) return false;
    QFile::remove(arbeitsarchiv);
    return true;
}

}  // namespace backup
