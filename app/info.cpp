#include "app/info.h"

#include "app/Bilder.h"
#include "platform/Adressen.h"
#include "ui/Fehler.h"

#include <QMouseEvent>

// The maker's addresses reach no real person.
const char* const TAboutBox::Webadresse = "https://www.example.org/";
const char* const TAboutBox::Downloadseite = "https://www.example.org/download/";
const char* const TAboutBox::Emailadresse = "info@example.org";

TAboutBox::TAboutBox(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ui.ProgramIcon->setPixmap(app::Programmsymbol(64));
    ui.Image_Torsil->setPixmap(app::Herstellerlogo(QSize(96, 48)));
    ui.Image_Torsil->setAccessibleName(QStringLiteral("Torsil im Internet"));
    for (QLabel* l : {ui.Image_Torsil, ui.Label4, ui.Label6}) l->installEventFilter(this);
    ui::Verbinde(ui.OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::OKButtonClick() { accept(); }

void TAboutBox::Image_TorsilClick() { platform::AdresseOeffnen(QString::fromLatin1(Webadresse)); }

void TAboutBox::Label4Click()
{
    platform::AdresseOeffnen(QStringLiteral("mailto:") + QString::fromLatin1(Emailadresse));
}

void TAboutBox::Label6Click() { platform::AdresseOeffnen(QString::fromLatin1(Downloadseite)); }

bool TAboutBox::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (obj == ui.Image_Torsil) ui::Geschuetzt([this] { Image_TorsilClick(); });
        else if (obj == ui.Label4) ui::Geschuetzt([this] { Label4Click(); });
        else if (obj == ui.Label6) ui::Geschuetzt([this] { Label6Click(); });
    }
    return ui::Formular::eventFilter(obj, e);
}
