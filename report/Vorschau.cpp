#include "report/Vorschau.h"

#include "report/Ausgabe.h"
#include "ui/Fehler.h"
#include "ui/Sanduhr.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEvent>
#include <QShowEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <functional>
#include <memory>

namespace report {

namespace {

constexpr double kBlattB = 210.0;
constexpr double kBlattH = 297.0;
constexpr int kAbstand = 16;  // px around and between the sheets

// The sheets one below the other; only the visible ones are painted.
class Seitenansicht : public QWidget {
public:
    std::function<int()> anzahl;
    std::function<const Seite*(int)> seite;

    explicit Seitenansicht(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

    double zoom() const { return m_zoom; }  // px per mm
    void setZoom(double z)
    {
        m_zoom = std::clamp(z, 0.3, 20.0);
        Groesse();
    }
    int blattHoehe() const { return int(kBlattH * m_zoom + 0.5); }
    int blattBreite() const { return int(kBlattB * m_zoom + 0.5); }
    int oben(int index) const { return kAbstand + index * (blattHoehe() + kAbstand); }
    void Groesse()
    {
        const int n = std::max(1, anzahl ? anzahl() : 0);
        resize(std::max(blattBreite() + 2 * kAbstand, parentWidget() ? parentWidget()->width() : 0),
               kAbstand + n * (blattHoehe() + kAbstand));
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QPainter p(this);
        p.fillRect(e->rect(), palette().color(QPalette::Dark));
        const int n = anzahl ? anzahl() : 0;
        const int x = std::max(kAbstand, (width() - blattBreite()) / 2);
        const int schritt = blattHoehe() + kAbstand;
        const int erste = std::max(0, (e->rect().top() - kAbstand) / schritt);
        const int letzte = std::min(n - 1, e->rect().bottom() / schritt);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (int i = erste; i <= letzte; ++i) {
            const QRect blatt(x, oben(i), blattBreite(), blattHoehe());
            p.fillRect(blatt.translated(3, 3), QColor(0, 0, 0, 80));
            p.fillRect(blatt, Qt::white);
            const Seite* s = seite ? seite(i) : nullptr;
            if (!s) continue;
            p.save();
            p.setClipRect(blatt);
            p.translate(blatt.topLeft());
            ZeichneSeite(p, *s, m_zoom, m_zoom);
            p.restore();
        }
    }

private:
    double m_zoom = 2.0;
};

QString Dateiname(const QString& titel)
{
    QString n = titel.trimmed();
    for (QChar& c : n)
        if (c == QChar('/') || c == QChar('\\') || c == QChar(':')) c = QChar('_');
    return (n.isEmpty() ? QStringLiteral("Bericht") : n) + QStringLiteral(".pdf");
}

class VorschauDialog : public QDialog {
public:
    enum class Modus { GanzeSeite, Seitenbreite, Frei };

    VorschauDialog(const QString& titel, QWidget* parent) : QDialog(parent), m_titel(titel)
    {
        setObjectName(QStringLiteral("Vorschau"));
        setWindowTitle(titel.isEmpty() ? QStringLiteral("Vorschau") : QStringLiteral("Vorschau – ") + titel);
        setSizeGripEnabled(true);

        // Document actions carry their text; page and zoom steps are icons
        // with a tooltip where the style has one, so that every button fits
        // beside the others (further document actions go after "Als PDF
        // speichern …").
        auto* leiste = new QToolBar(this);
        leiste->setObjectName(QStringLiteral("Werkzeugleiste"));
        leiste->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        enum class Zeigt { Text, NurBild };
        auto aktion = [&](const char* name, const QString& text, QStyle::StandardPixmap bild,
                          std::function<void()> tun, const QKeySequence& taste = {}, Zeigt zeigt = Zeigt::Text) {
            auto* a = new QAction(text, this);
            a->setObjectName(QString::fromLatin1(name));
            if (bild != QStyle::SP_CustomBase) a->setIcon(style()->standardIcon(bild));
            if (!taste.isEmpty()) a->setShortcut(taste);
            connect(a, &QAction::triggered, this, [tun] { ui::Geschuetzt(tun); });
            leiste->addAction(a);
            if (zeigt == Zeigt::NurBild && !a->icon().isNull())
                if (auto* knopf = qobject_cast<QToolButton*>(leiste->widgetForAction(a)))
                    knopf->setToolButtonStyle(Qt::ToolButtonIconOnly);
            return a;
        };
        aktion("AktionDrucken", QStringLiteral("Drucken …"), QStyle::SP_CustomBase, [this] { Drucken(); },
               QKeySequence::Print);
        m_pdfAktion = aktion("AktionPdfSpeichern", QStringLiteral("Als PDF speichern …"), QStyle::SP_DialogSaveButton,
                             [this] { PdfSpeichern(); }, QKeySequence::Save);
        m_leiste = leiste;
        leiste->addSeparator();
        aktion("AktionErsteSeite", QStringLiteral("Erste Seite"), QStyle::SP_MediaSkipBackward,
               [this] { ZeigeSeite(0); }, QKeySequence(Qt::CTRL | Qt::Key_Home), Zeigt::NurBild);
        aktion("AktionVorherigeSeite", QStringLiteral("Vorherige Seite"), QStyle::SP_MediaSeekBackward,
               [this] { ZeigeSeite(AktuelleSeite() - 1); }, QKeySequence(Qt::Key_PageUp), Zeigt::NurBild);
        m_label = new QLabel(this);
        m_label->setObjectName(QStringLiteral("LabelSeite"));
        m_label->setMargin(6);
        leiste->addWidget(m_label);
        aktion("AktionNaechsteSeite", QStringLiteral("Nächste Seite"), QStyle::SP_MediaSeekForward,
               [this] { ZeigeSeite(AktuelleSeite() + 1); }, QKeySequence(Qt::Key_PageDown), Zeigt::NurBild);
        aktion("AktionLetzteSeite", QStringLiteral("Letzte Seite"), QStyle::SP_MediaSkipForward,
               [this] {
                   if (AllesLayouten()) ZeigeSeite(Anzahl() - 1);
               }, QKeySequence(Qt::CTRL | Qt::Key_End), Zeigt::NurBild);
        leiste->addSeparator();
        aktion("AktionGanzeSeite", QStringLiteral("Ganze Seite"), QStyle::SP_CustomBase,
               [this] { SetzeModus(Modus::GanzeSeite); });
        aktion("AktionSeitenbreite", QStringLiteral("Seitenbreite"), QStyle::SP_CustomBase,
               [this] { SetzeModus(Modus::Seitenbreite); });
        aktion("AktionVergroessern", QStringLiteral("Vergrößern"), QStyle::SP_CustomBase,
               [this] { Zoomen(1.25); }, QKeySequence::ZoomIn);
        aktion("AktionVerkleinern", QStringLiteral("Verkleinern"), QStyle::SP_CustomBase,
               [this] { Zoomen(0.8); }, QKeySequence::ZoomOut);
        leiste->addSeparator();
        aktion("AktionSchliessen", QStringLiteral("Schließen"), QStyle::SP_DialogCloseButton, [this] { reject(); });

        m_bereich = new QScrollArea(this);
        m_bereich->setObjectName(QStringLiteral("Seitenbereich"));
        m_bereich->setWidgetResizable(false);
        m_bereich->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_ansicht = new Seitenansicht(m_bereich);
        m_ansicht->setObjectName(QStringLiteral("Seitenansicht"));
        m_ansicht->anzahl = [this] { return Anzahl(); };
        m_ansicht->seite = [this](int i) { return Seite_(i); };
        m_bereich->setWidget(m_ansicht);
        m_bereich->viewport()->installEventFilter(this);
        connect(m_bereich->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Beschriften(); });

        resize(900, 1000);

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(leiste);
        layout->addWidget(m_bereich, 1);

        m_drucker.setFullPage(true);
        m_drucker.setPageSize(QPageSize(QPageSize::A4));
        m_drucker.setPageOrientation(QPageLayout::Portrait);
        m_drucker.setDocName(titel);

        m_takt.setInterval(0);
        connect(&m_takt, &QTimer::timeout, this, [this] { Hintergrund(); });
    }

    // The pages of a report being laid out; the first page is there.
    void setFolge(std::unique_ptr<Seitenfolge> folge)
    {
        m_folge = std::move(folge);
        if (m_folge->fertig())
            Uebernehmen();
        else
            m_takt.start();
        Anpassen();
    }
    void setSeiten(const Seiten& seiten)
    {
        m_seiten = seiten;
        Anpassen();
    }

    std::exception_ptr fehler() const { return m_fehler; }

    // The report's own actions, after "Als PDF speichern …".
    void setZusatzaktionen(const std::vector<Zusatzaktion>& aktionen)
    {
        QAction* vor = m_pdfAktion ? m_leiste->actions().value(m_leiste->actions().indexOf(m_pdfAktion) + 1) : nullptr;
        for (const Zusatzaktion& z : aktionen) {
            auto* a = new QAction(z.text, this);
            a->setObjectName(z.name);
            const auto tun = z.tun;
            connect(a, &QAction::triggered, this, [this, tun] {
                ui::Geschuetzt([&] {
                    if (AllesLayouten() && tun) tun(m_seiten, this);
                });
            });
            m_leiste->insertAction(vor, a);
        }
    }

protected:
    // Wide enough for every button of the toolbar where the screen allows,
    // also where the window system does not maximise the preview. Only once
    // shown do the buttons know their size.
    void showEvent(QShowEvent* e) override
    {
        QDialog::showEvent(e);
        if (m_breiteGeprueft) return;
        m_breiteGeprueft = true;
        const QScreen* schirm = screen();
        const int platz = schirm ? schirm->availableGeometry().width() : width();
        const int neu = std::min(m_leiste->sizeHint().width() + 8, std::max(width(), platz));
        if (neu > width()) resize(neu, height());
    }

    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == m_bereich->viewport() && e->type() == QEvent::Resize) Anpassen();
        return QDialog::eventFilter(o, e);
    }

private:
    int Anzahl() const { return m_folge ? m_folge->anzahl() : int(m_seiten.size()); }
    bool Fertig() const { return !m_folge || m_folge->fertig(); }
    const Seite* Seite_(int i) const
    {
        if (i < 0 || i >= Anzahl()) return nullptr;
        return m_folge ? &m_folge->seite(i) : &m_seiten[size_t(i)];
    }

    void Uebernehmen()
    {
        m_seiten = m_folge->alle();
        m_folge.reset();
        m_takt.stop();
    }

    // A failure while laying out ends the preview; the caller gets the exception.
    void Abbrechen()
    {
        m_fehler = std::current_exception();
        m_takt.stop();
        m_folge.reset();
        m_seiten.clear();
        QTimer::singleShot(0, this, [this] { reject(); });
    }

    void Hintergrund()
    {
        if (!m_folge) return;
        const int vorher = Anzahl();
        QElapsedTimer uhr;
        uhr.start();
        try {
            while (!m_folge->fertig() && uhr.elapsed() < 30) m_folge->weiter(50);
            if (m_folge->fertig()) Uebernehmen();
        } catch (...) {
            Abbrechen();
            return;
        }
        if (Anzahl() != vorher || Fertig()) {
            m_ansicht->Groesse();
            Beschriften();
        }
    }

    // False when laying out failed (the preview then closes and reports it).
    bool AllesLayouten()
    {
        if (!m_folge) return !m_fehler;
        ui::Sanduhr sanduhr;
        try {
            Uebernehmen();
        } catch (...) {
            sanduhr.Ende();
            Abbrechen();
            return false;
        }
        sanduhr.Ende();
        m_ansicht->Groesse();
        Beschriften();
        return true;
    }

    int AktuelleSeite() const
    {
        const int schritt = m_ansicht->blattHoehe() + kAbstand;
        const int mitte = m_bereich->verticalScrollBar()->value() + m_bereich->viewport()->height() / 3;
        return std::clamp(mitte / std::max(1, schritt), 0, std::max(0, Anzahl() - 1));
    }

    void ZeigeSeite(int i)
    {
        if (m_folge) m_folge->bis(i);
        i = std::clamp(i, 0, std::max(0, Anzahl() - 1));
        m_ansicht->Groesse();
        m_bereich->verticalScrollBar()->setValue(m_ansicht->oben(i) - kAbstand);
        Beschriften();
    }

    void Beschriften()
    {
        const int n = Anzahl();
        m_label->setText(QStringLiteral("Seite %1 von %2%3")
                             .arg(n == 0 ? 0 : AktuelleSeite() + 1)
                             .arg(n)
                             .arg(Fertig() ? QString() : QStringLiteral(" …")));
    }

    void SetzeModus(Modus m)
    {
        const int seite = AktuelleSeite();
        m_modus = m;
        Anpassen();
        ZeigeSeite(seite);
    }

    void Zoomen(double faktor)
    {
        const int seite = AktuelleSeite();
        m_modus = Modus::Frei;
        m_ansicht->setZoom(m_ansicht->zoom() * faktor);
        ZeigeSeite(seite);
    }

    void Anpassen()
    {
        const QSize platz = m_bereich->viewport()->size();
        if (m_modus == Modus::GanzeSeite)
            m_ansicht->setZoom(std::min((platz.height() - 2.0 * kAbstand) / kBlattH,
                                        (platz.width() - 2.0 * kAbstand) / kBlattB));
        else if (m_modus == Modus::Seitenbreite)
            m_ansicht->setZoom((platz.width() - 2.0 * kAbstand - m_bereich->verticalScrollBar()->sizeHint().width()) /
                               kBlattB);
        else
            m_ansicht->Groesse();
        Beschriften();
    }

    void Drucken()
    {
        if (!AllesLayouten()) return;
        QPrintDialog dlg(&m_drucker, this);
        dlg.setObjectName(QStringLiteral("DruckDialog"));
        dlg.setMinMax(1, std::max(1, Anzahl()));
        if (dlg.exec() != QDialog::Accepted) return;
        int von = 1, bis = 0;
        if (m_drucker.printRange() == QPrinter::PageRange) {
            von = m_drucker.fromPage();
            bis = m_drucker.toPage();
        }
        ui::Sanduhr sanduhr;
        Drucke(m_seiten, m_drucker, von, bis);
    }

    void PdfSpeichern()
    {
        if (!AllesLayouten()) return;
        QFileDialog dlg(this, QStringLiteral("Als PDF speichern"));
        dlg.setObjectName(QStringLiteral("PdfSpeichernDialog"));
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setNameFilter(QStringLiteral("PDF-Dateien (*.pdf)"));
        dlg.setDefaultSuffix(QStringLiteral("pdf"));
        dlg.setDirectory(QDir::homePath());
        dlg.selectFile(Dateiname(m_titel));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
        ui::Sanduhr sanduhr;
        SchreibePdf(m_seiten, dlg.selectedFiles().constFirst(), m_titel);
    }

    QString m_titel;
    QToolBar* m_leiste = nullptr;
    QAction* m_pdfAktion = nullptr;
    bool m_breiteGeprueft = false;
    QScrollArea* m_bereich = nullptr;
    Seitenansicht* m_ansicht = nullptr;
    QLabel* m_label = nullptr;
    QPrinter m_drucker{QPrinter::HighResolution};
    QTimer m_takt;
    std::unique_ptr<Seitenfolge> m_folge;
    Seiten m_seiten;
    Modus m_modus = Modus::GanzeSeite;
    std::exception_ptr m_fehler;
};

QWidget* Eltern(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }

}  // namespace

void Vorschau(const Seiten& seiten, const QString& titel, QWidget* parent)
{
    VorschauDialog dlg(titel, Eltern(parent));
    dlg.setSeiten(seiten);
    dlg.setWindowState(dlg.windowState() | Qt::WindowMaximized);
    dlg.exec();
}

void Vorschau(Bericht& bericht, QWidget* parent)
{
    ui::Sanduhr sanduhr;
    auto folge = std::make_unique<Seitenfolge>(bericht);  // the first page, or the failure, now
    VorschauDialog dlg(bericht.titel(), Eltern(parent));
    dlg.setZusatzaktionen(bericht.zusatzaktionen());
    dlg.setFolge(std::move(folge));
    dlg.setWindowState(dlg.windowState() | Qt::WindowMaximized);
    sanduhr.Ende();
    dlg.exec();
    if (dlg.fehler()) std::rethrow_exception(dlg.fehler());
}

}  // namespace report
