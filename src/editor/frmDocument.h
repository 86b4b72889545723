// A CFile: one child window of the main window holding one rich-text document.
// There is no document object apart from it: the window is the document. Its
// caption is the file's path (or "CFile" and a number until the first save),
// its Tag marks it as a CFile, and bChanged says whether it has unsaved edits.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QMdiSubWindow;

namespace vt {

class RecoveryCopy;
class RichTextBox;

class frmDocument : public QWidget, public Form {
    Q_OBJECT
public:
    frmDocument();
    ~frmDocument() override;

    QWidget *widget() override { return this; }

    RichTextBox *rtfText = nullptr;
    // True when the text changed since it was created, loaded or last saved.
    bool bChanged = false;
    // The file this CFile was read from only in part (absolute path), until
    // the first save over it has kept the original beside it; empty otherwise.
    QString partlyReadFile;
    // The copy of the text kept on disk while it has unsaved changes, so that
    // a crash loses no more than the last few seconds.
    RecoveryCopy *recovery = nullptr;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption);
    // The frame's title carries the shots mark while this CFile takes the
    // chronograph's shots; the caption itself (the file's name) stays as it is.
    void setShotMark(bool on);
    // The CFile whose pop-up menu was opened last (null once it is closed).
    static frmDocument *popupCFile();

    // The child window of the main window's area that frames this document
    // (nullptr before it is placed there).
    QMdiSubWindow *subWindow() const { return sub_; }
    // Places the window in the main window's area, in the state stored for
    // new CFile windows, and makes it the active child.
    void showInMDI();
    // 0 normal, 1 minimized, 2 maximized.
    int WindowState() const;
    // The size a CFile window opens at and takes when the windows are
    // cascaded: three quarters of the main window's area, at least a usable
    // 420 x 300 and no more than the area.
    QSize sizeHint() const override;

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload(int &cancel) override;
    void Form_Click();
    void rtfText_Change();
    void rtfText_Click();
    void rtfText_KeyDown(int &keyCode, int shift);
    void rtfText_KeyPress(int &keyAscii);
    void rtfText_MouseDown(int button, int shift, int x, int y);
    void rtfText_SelChange();

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    void showTitle();

    QMdiSubWindow *sub_ = nullptr;
    int loadState_ = 0;
    bool shotMark_ = false;
};

} // namespace vt
