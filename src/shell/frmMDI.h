// The multiple-document main window.
#pragma once

#include "platform/forms.h"

#include <QMainWindow>

class QAction;
class QMdiArea;
class QMenu;

namespace vt {

class frmMDI : public QMainWindow, public SharedForm<frmMDI> {
    Q_OBJECT
public:
    frmMDI();
    ~frmMDI() override;

    // Answers of shoMsgBox.
    static inline bool bYes = false;
    static inline bool bNo = false;
    static inline bool bCancel = false;

    QMdiArea *mdiArea = nullptr;

    // Debug menu
    QMenu *mnuDebug = nullptr;
    QAction *mnuDebugAction = nullptr; // the top-level entry of mnuDebug
    QAction *mnuDbgSftDbg = nullptr, *mnuDbgSftTst = nullptr, *mnuDbgSftShp = nullptr,
            *mnuDebugBar0 = nullptr, *mnuDbgSftHid = nullptr, *mnuGetDbg = nullptr, *mnuSavDbg = nullptr,
            *mnuDbgZapRegNow = nullptr, *mnuDebugBar1 = nullptr;
    QMenu *mnuDbgLevel = nullptr;
    QAction *mnuDbgIncLev = nullptr, *mnuDbgDecLev = nullptr, *mnuDbgMinLev = nullptr, *mnuDbgMaxLev = nullptr;
    QMenu *mnuDbgRegistry = nullptr;
    QAction *mnuDbgGetReg = nullptr, *mnuDbgSavReg = nullptr, *mnuDbgZapReg = nullptr;

    void Form_Load();
    void showDebugMenu(bool visible);

    void mnuDbgSftDbg_Click();
    void mnuDbgSftTst_Click();
    void mnuDbgSftShp_Click();
    void mnuDbgSftHid_Click();
    void mnuGetDbg_Click();
    void mnuSavDbg_Click();
    void mnuDbgZapRegNow_Click();
    void mnuDbgIncLev_Click();
    void mnuDbgDecLev_Click();
    void mnuDbgMinLev_Click();
    void mnuDbgMaxLev_Click();
    void mnuDbgGetReg_Click();
    void mnuDbgSavReg_Click();
    void mnuDbgZapReg_Click();

    // Print, margin, tab and font formats of section "frmMDI".
    void getPrntFmt();
    void getMargFmt();
    void getTabsFmt();
    void getFontFmt();
    void savPrntFmt();
    void savMargFmt();
    void savTabsFmt();
    void savFontFmt();

    // Creates a named menu item and connects its handler through the error guard.
    QAction *addItem(QMenu *menu, const char *name, const QString &caption, void (frmMDI::*handler)() = nullptr);

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
