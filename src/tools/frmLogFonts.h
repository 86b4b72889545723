// The log fonts window ("Interface Fonts"): one tab for each kind of log line
// (keyboard, capture, errors, comments). The log lines are written in the
// CFile's own font, which the Keyboard tab shows; the window keeps no fonts of
// its own, so its font controls are shown but cannot be changed.
#pragma once

#include "platform/forms.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace vt {

class frmLogFonts : public QDialog, public SharedForm<frmLogFonts> {
    Q_OBJECT
public:
    frmLogFonts();
    ~frmLogFonts() override;

    QTabBar *tbsMain = nullptr;
    QWidget *picTabs[1] = {};
    QLabel *lblNote = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *cmbFont = nullptr;
    QLabel *lblFont = nullptr;
    QGroupBox *frmFontSize = nullptr;
    QComboBox *cmbSize = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *frmFontType = nullptr;
    QRadioButton *optFonType[4] = {};
    QGroupBox *fraEffects = nullptr;
    QCheckBox *chkUnderline = nullptr;
    QCheckBox *chkStrikeThru = nullptr;
    QGroupBox *fraColor = nullptr;
    QPushButton *cmdTextColor = nullptr;
    QLabel *lblTextColor = nullptr;
    QPushButton *cmdBackground = nullptr;
    QLabel *lblBackGround = nullptr;
    QGroupBox *fraApplyTo = nullptr;
    QRadioButton *optApplyTo[5] = {};
    QPushButton *cmdXFont = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdRest = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;
    QPushButton *cmdCancel = nullptr;

    void Form_Load();
    void tbsMain_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc closes, as Cancel does

private:
    // The window's parts: the Keyboard tab's pane and its frames, then the
    // command buttons.
    QWidget *buildKeyboardPane();                // the note over the frames, in a grid of three columns
    void buildFontLists(QWidget *pane);          // the Font and Size frames, each a label over its list
    QGroupBox *buildTypeFrame(QWidget *pane);    // Regular, Italic, Bold, Bold Italic
    QGroupBox *buildColorFrame(QWidget *pane);   // the text and background colour buttons, each with its swatch
    QGroupBox *buildApplyToFrame(QWidget *pane); // None, Edit, Shoot, Remote, ALL
    QHBoxLayout *buildCommandRow();              // XFont, Restore, Reset, Save, then Ok and Cancel at the right
};

} // namespace vt
