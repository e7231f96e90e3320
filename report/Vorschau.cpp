#include "report/Vorschau.h"

#include "report/Ausgabe.h"
#include "ui/Fehler.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace report {

namespace {

QString Dateiname(const QString& titel)
{
    QString n = titel.trimmed();
    for (QChar& c : n)
        if (c == QChar('/') || c == QChar('\\') || c == QChar(':')) c = QChar('_');
    return (n.isEmpty() ? QStringLiteral("Bericht") : n) + QStringLiteral(".pdf");
}

void PdfSpeichern(const Seiten& seiten, const QString& titel, QWidget* parent)
{
    QFileDialog dlg(parent, QStringLiteral("Als PDF speichern"));
    dlg.setObjectName(QStringLiteral("PdfSpeichernDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(QStringLiteral("PDF-Dateien (*.pdf)"));
    dlg.setDefaultSuffix(QStringLiteral("pdf"));
    dlg.setDirectory(QDir::homePath());
    dlg.selectFile(Dateiname(titel));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    SchreibePdf(seiten, dlg.selectedFiles().constFirst(), titel);
}

}  // namespace

void Vorschau(const Seiten& seiten, const QString& titel, QWidget* parent)
{
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setFullPage(true);
    drucker.setPageSize(QPageSize(QPageSize::A4));
    drucker.setPageOrientation(QPageLayout::Portrait);
    drucker.setDocName(titel);

    QPrintPreviewDialog dlg(&drucker, parent ? parent : QApplication::activeWindow());
    dlg.setObjectName(QStringLiteral("Vorschau"));
    dlg.setWindowTitle(titel.isEmpty() ? QStringLiteral("Vorschau") : QStringLiteral("Vorschau – ") + titel);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [&seiten](QPrinter* p) { ui::Geschuetzt([&] { Drucke(seiten, *p); }); });

    auto* pdf = new QAction(QStringLiteral("Als PDF speichern …"), &dlg);
    pdf->setObjectName(QStringLiteral("AktionPdfSpeichern"));
    pdf->setToolTip(QStringLiteral("Als PDF speichern …"));
    QObject::connect(pdf, &QAction::triggered, &dlg,
                     [&seiten, &titel, &dlg] { ui::Geschuetzt([&] { PdfSpeichern(seiten, titel, &dlg); }); });
    if (auto* leiste = dlg.findChild<QToolBar*>()) {
        leiste->addSeparator();
        leiste->addAction(pdf);
    } else {
        dlg.addAction(pdf);
    }

    if (auto* w = dlg.findChild<QPrintPreviewWidget*>()) w->setZoomMode(QPrintPreviewWidget::FitInView);
    // The dialog's own "fit page" button, so that its state matches the zoom.
    for (QAction* a : dlg.findChildren<QAction*>())
        if (a->objectName() == QLatin1String("fitPageAction") && a->isCheckable()) a->setChecked(true);

    dlg.setWindowState(dlg.windowState() | Qt::WindowMaximized);
    dlg.exec();
}

void Vorschau(Bericht& bericht, QWidget* parent)
{
    const Seiten seiten = bericht.Layout();
    Vorschau(seiten, bericht.titel(), parent);
}

}  // namespace report
