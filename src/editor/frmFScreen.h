// The full-screen view of a CFile: a window over the whole screen holding a
// copy of the CFile's text, and a small bar, always on top, with "Remote"
// (the keypad panel) and "Close". Closing writes the text back into the CFile
// the view was opened from, keeping any shots that arrived there meanwhile.
#pragma once

#include "platform/forms.h"

#include <QPointer>
#include <QWidget>

class QPushButton;

namespace vt {

class frmDocument;
class RichTextBox;

class frmFScreen : public QWidget, public SharedForm<frmFScreen> {
    Q_OBJECT
public:
    frmFScreen();
    ~frmFScreen() override;

    RichTextBox *FSRTB = nullptr;
    // Set by every change of FSRTB, its filling included.
    bool FsChanged = false;

    void Form_Load();
    void Form_Resize();
    void Form_Unload(int &cancel) override;
    void FSRTB_Change();

    // Fills the view from a CFile (its text and formats) and remembers it
    // as the one to write back into.
    void fillFrom(frmDocument *doc);
    frmDocument *source() const { return source_; }

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    QPointer<frmDocument> source_;
    QString sourceText_;   // the CFile's text when the view opened
    bool filling_ = false;
    bool userEdited_ = false;
};

class frmFScreenB : public QWidget, public SharedForm<frmFScreenB> {
    Q_OBJECT
public:
    frmFScreenB();
    ~frmFScreenB() override;

    QPushButton *cmdRemote = nullptr;
    QPushButton *cmdScreenClose = nullptr;

    void Form_Load();
    void Form_Unload(int &cancel) override;
    void cmdRemote_Click();
    void cmdScreenClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
};

// The main window's full-screen command (the toolbar's FullScreen button).
void mnuViewFullScreen_Click();

} // namespace vt
