#pragma once
// Base of every window: the handlers called at the moments the windows rely
// on, each run through the error handler.
//   FormShow        each time the window is shown
//   FormActivate    whenever it becomes the active window (also when a
//                   message box of its own closes)
//   FormDeactivate  whenever it stops being the active window
//   FormClose       however it is closed (button, Escape, frame); for a modal
//                   window closing by the frame is Abbrechen
//   FormKeyDown     with key preview on: every key pressed in the window,
//                   before the focused control sees it
// Windows are created once and only shown and hidden.
#include <QDialog>
#include <QPointer>

class QKeyEvent;
class QPushButton;

namespace ui {

class Formular : public QDialog {
    Q_OBJECT
public:
    explicit Formular(QWidget* parent = nullptr);

    // Binds the controls to the data module's data sources. Called once, when
    // the data module exists (windows created before it bind later).
    virtual void Binden() {}

    // Shows the window modally; true when it was closed with OK.
    bool ZeigeModal();
    // Shows the window without blocking (or brings it to the front).
    void Zeige();

    // Closes a modal window with OK / Abbrechen.
    void SchliesseMitOk() { accept(); }
    void SchliesseMitAbbrechen() { reject(); }
    // The button closes the window with OK (true) or Abbrechen (false).
    void SetzeModalErgebnis(QPushButton* knopf, bool ok);

    void setKeyPreview(bool an);

    // Centres the window on the main window (on the screen when it is not
    // shown), or on the screen; either way inside the screen's free area.
    void AufHauptfensterZentrieren();
    void AufBildschirmZentrieren();
    // Moves the window into the free area of its screen (without task bars),
    // shrinking it first where it is larger. Every showing ends with this.
    void ImBildschirmHalten();

    void done(int r) override;

protected:
    virtual void FormShow() {}
    virtual void FormActivate() {}
    virtual void FormDeactivate() {}
    virtual void FormClose() {}
    // Returns true to keep the key from the focused control.
    virtual bool FormKeyDown(QKeyEvent* /*ereignis*/) { return false; }

    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    bool m_keyPreview = false;
    // The key event being passed from the focused control up to the window,
    // and the widget that had it last: the window sees each key once.
    const QEvent* m_tasteInArbeit = nullptr;
    QPointer<QObject> m_tasteBei;
};

}  // namespace ui
