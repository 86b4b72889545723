// Find and replace on the active CFile: a window that stays open beside the
// CFile, with the Find and Replace texts and their histories, the options,
// seven directions, Replace All, a text-edit overlay for long texts and a
// question panel of its own through which every question of the search is
// asked.
#pragma once

#include "platform/forms.h"

#include <QDialog>
#include <QLabel>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vt {

class RichTextBox;

// A label that acts as a button when clicked.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
};

class frmFind : public QDialog, public SharedForm<frmFind> {
    Q_OBJECT
public:
    frmFind();
    ~frmFind() override;

    // --- controls ---------------------------------------------------------
    QWidget *fraFox = nullptr;
    ClickLabel *lblMoreX = nullptr;
    ClickLabel *lblFind = nullptr;
    QComboBox *cboText[2] = {};
    ClickLabel *lblMore[10] = {};
    QPushButton *cmdFind = nullptr;
    QWidget *fraMore0 = nullptr;
    QWidget *fraReplace = nullptr;
    ClickLabel *lblReplace = nullptr;
    QPushButton *cmdReplace[2] = {};
    QWidget *fraMain = nullptr;
    QWidget *fraHow = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QCheckBox *chkMatchCase = nullptr;
    QCheckBox *chkPatternMatch = nullptr;
    QCheckBox *chkBlock = nullptr;
    QCheckBox *chkFcsTrkOff = nullptr;
    QWidget *fraDrct = nullptr;
    ClickLabel *lblDrct = nullptr;
    QComboBox *cmbDirection = nullptr;
    QWidget *fraWhere = nullptr;
    QRadioButton *chkSheet[3] = {};
    QPushButton *cmdReplaceAll = nullptr;
    QPushButton *cmdFndRst = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdRepAtt[4] = {};
    QWidget *fraExpRef = nullptr;
    QWidget *fraTxts = nullptr;
    QGroupBox *fraTxt[2] = {};
    QPlainTextEdit *txtTxt[2] = {};
    QFrame *picQBoz = nullptr;
    QFrame *fraQText = nullptr;
    QLabel *lblQText = nullptr;
    QWidget *fraQKeys[3] = {};
    QPushButton *cmdQKeys[6] = {};

    // --- the window's state (kept for the run, across unloads) -------------
    static bool bRepOpen();
    // How much the window's drawing grew so that its captions are whole at
    // the default font (1 when they fit as drawn).
    static double captionScale();
    static bool bExtOpen();
    static bool bSpcOpen();
    bool bLockEvt = false;
    int16_t iQAnswer = 2;
    // The window's outer size in twips as its layout sets it.
    int formWidthTwips() const { return formWidth_; }
    int formHeightTwips() const { return formHeight_; }

    // --- the engine's public procedures ------------------------------------
    // Writes (savRec) or reads (getRec) the histories and the window's
    // position; mode 1 does nothing unless the window was opened in this run.
    static void savRec(int16_t mode);
    static void getRec(int16_t mode);
    int16_t mexFind(int16_t how, int16_t mode);
    void mexReplace(int16_t mode);
    void mexReplaceAll(int16_t mode);
    void mdiFindNext();
    void mdiFindReplace();
    void lodFind();
    void badFocus() {}

    // --- the engine's operations the window uses ---------------------------
    void getFndPars();
    bool chkFndPars() const;
    void sel2Find(int16_t mode);
    bool askTruncCopy(int16_t mode, int length, const QString &name);
    void rstFndButtons();
    void askRstSearch();
    void askRstCFile();
    static QString fndKind(int flag) { return flag ? QStringLiteral("Replace") : QStringLiteral("Find"); }
    void seeFndLine();
    int16_t doReplace(bool doIt);
    void chkHstText();
    bool opnRepPanel();
    void usr2Hst();
    void hst2Usr();
    void lokEvents() { bLockEvt = true; }
    void unlEvents() { bLockEvt = false; }

    // --- the window --------------------------------------------------------
    // Asks in the question panel; style: 0 OK, 4 Yes and No, 3 Yes, No and
    // Cancel (its low four bits; anything else OK). Answers 1, 6, 7 or 2.
    int16_t askQText(const QString &text, int32_t style);
    void seeFndPanels();
    void arrButtons();
    void arrTxtFrames();
    void getFndWinPos();

    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;
    void cmdFind_Click();
    void cmdReplace_Click(int index);
    void cmdReplaceAll_Click();
    void cmdRepAtt_Click(int index);
    void cmdCancel_Click();
    void cmdFndRst_Click();
    void lblMore_Click(int index);
    void lblMoreX_Click();
    void lblFind_Click();
    void lblReplace_Click();
    void fraTxt_Click(int index);
    void chkOption_Click(QCheckBox *box);
    void chkSheet_Click(int index);
    void cmbDirection_Click();
    void cboText_Change(int index);
    void cmdQKeys_Click(int index);

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: the Cancel button
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool event(QEvent *e) override;

private:
    void makeOverlay();
    void makeQuestionPanel();
    void showQuestionPanel(int keySet, const QString &text);
    void connectHandlers();
    RichTextBox *activeBox() const;
    bool searchLoop(int16_t code, int16_t mode);
    void SetFound(int16_t code, int16_t mode, int position);
    bool chkDocChanged();
    void chkNewText(int16_t mode);
    bool addToHistory(int index, const QString &known);
    void notice(int16_t mode, const QString &text);
    void fillDirections();
    void restoreControls();
    void setFindBoxText(int index, const QString &text);
    void clearHistory(int index);
    void setFormSize(int widthTwips, int heightTwips);
    bool replaceAllInOnePass();

    int formWidth_ = 0;
    int formHeight_ = 0;
    // Where the last replacement left the caret, so that the next search
    // goes on behind it (and the tag of the CFile it was made in).
    int replacedCaret_ = -1;
    QString replacedTag_;
    // A question is waiting: the window must outlive the wait, whatever
    // unloads it meanwhile, so that the search that asked can end.
    int waiting_ = 0;
    bool deletePending_ = false;
};

} // namespace vt
