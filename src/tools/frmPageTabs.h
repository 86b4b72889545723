// The tab stops dialog: the default tab stops of new CFiles as a list of named
// positions, in numeric order, shown in the unit chosen in its list and kept
// in twips; stored in the settings and applied to the active CFile.
#pragma once

#include "platform/forms.h"
#include "shell/modNeighbours.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace vt {

class frmPageTabs : public QWidget, public SharedForm<frmPageTabs> {
    Q_OBJECT
public:
    frmPageTabs();
    ~frmPageTabs() override;
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // Shows the dialog modally (Format > Tabs).
    static void showDialog();

    // The store procedures, which need no window: savTabs stores nothing (the
    // dialog's Save and closing question do), setTabs writes TabFmtDef's stops
    // to the active CFile, getTabs reads the settings into TabFmtDef.
    static void savTabs();
    static void setTabs();
    static void getTabs();

    // --- controls ---------------------------------------------------------
    QLineEdit *txtTabPos = nullptr;
    QLineEdit *txtTabName = nullptr;
    QToolButton *cmdPosMov[2] = {}; // 0 up, 1 down
    QListWidget *lstTabs = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdReplace = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdClearAll = nullptr;
    QComboBox *cmbUnits = nullptr;
    QCheckBox *chkDefalt = nullptr;
    QCheckBox *chkAsk = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdAtCurs = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdRead = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdClose = nullptr;

    // The working record, the saved copy and what the CFile holds.
    TabFmt rec;
    TabFmt recOrig;
    TabFmt recApplied;

    // --- event handlers -----------------------------------------------------
    void cmdAdd_Click();
    void cmdReplace_Click();
    void cmdDelete_Click();
    void cmdClearAll_Click();
    void lstTabs_DblClick();
    void cmdPosMov_Click(int index);
    void cmbUnits_Click();
    void cmdApply_Click();
    void cmdSave_Click();
    void cmdAtCurs_Click();
    void cmdReset_Click();
    void cmdRead_Click();
    void cmdCancel_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showRec();
    void readList(); // the list back into the working record
    // Adds the tab in the two fields; false when it was refused.
    bool addTab(bool replacing);
    void deleteSelected();
    void insertEntry(int twips, const QString &name);
    QString entryText(int twips, const QString &name) const;
    // The position field in twips; nullopt after the message.
    std::optional<int16_t> positionTwips();
    bool askDuplicate(int twips, int except);
    static void writeToCFile(const TabFmt &tabs);
    // false when the selection's paragraphs have different stops.
    bool readCFile(TabFmt &into, bool applied);
    bool differs(const TabFmt &a, const TabFmt &b, bool applied) const;
    void numberMessage(const QString &text);

    bool cfileRead_ = false;
    bool noCFile_ = false;
    bool cancelling_ = false;
    int16_t shownUnit_ = 1;
};

} // namespace vt
