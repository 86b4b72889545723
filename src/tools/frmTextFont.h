// The default font dialog, "CFile Startup Formating": edits the font every new
// CFile gets, applies a font to the active CFile's selection, takes the font
// at the cursor, and stores the default in the settings.
#pragma once

#include "platform/forms.h"
#include "shell/modNeighbours.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace vt {

class RichTextBox;

class frmTextFont : public QWidget, public SharedForm<frmTextFont> {
    Q_OBJECT
public:
    frmTextFont();
    ~frmTextFont() override;
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // Shows the dialog modally (Format > General).
    static void showDialog();

    // Debug dumps of the saved copy and of the working record into the CFile.
    void seeFormaX(int16_t blankLine);
    void seeFormat(int16_t blankLine);
    void rstRec();   // factory values into the working record
    void updTrbFmt(); // the working font on the main window's format toolbar

    // --- controls ---------------------------------------------------------
    QComboBox *cmbFont = nullptr;
    QComboBox *cmbSize = nullptr;
    QRadioButton *optFonType[4] = {};
    QCheckBox *chkUnderline = nullptr;
    QCheckBox *chkStrikeThru = nullptr;
    QPushButton *cmdTextColor = nullptr;
    QLabel *lblTextColor = nullptr;
    QPushButton *cmdBackground = nullptr;
    QLabel *lblBackGround = nullptr;
    QCheckBox *chkUseAsDefalt = nullptr;
    QCheckBox *chkAsk = nullptr;
    QCheckBox *chkAutoSave = nullptr;
    QPushButton *cmdXFonts = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdAtCursor = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;
    QPushButton *cmdCancel = nullptr;
    RichTextBox *rtfSample = nullptr;

    // The working record, the saved copy (dirty check) and the applied copy
    // (restore check).
    FontFmt rec;
    FontFmt recOrig;
    FontFmt recRestore;

    // --- event handlers -----------------------------------------------------
    void cmdApply_Click();
    void cmdAtCursor_Click();
    void cmdRestore_Click();
    void cmdReset_Click();
    void cmdSave_Click();
    void cmdClose_Click();
    void cmdCancel_Click();
    void cmdXFonts_Click();
    void cmdTextColor_Click();
    void cmdBackground_Click();
    void control_Click();  // font, size, type and effects
    void flag_Click();     // the check boxes that are not part of the font

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window's parts, top to bottom.
    void buildFontLists(QGridLayout *grid); // the Font and Size labels, each over its list
    QGroupBox *buildTypeFrame();            // Regular, Italic, Bold, Bold Italic
    QGroupBox *buildEffectsFrame();         // Underline and Strike Thru
    QGroupBox *buildColorsFrame();          // the text and background colour buttons, each with its swatch
    QVBoxLayout *buildFlagBoxes();          // Default, Warning and AutoSave, which are not part of the font
    QGridLayout *buildCommandRows();        // the eight command buttons, four a row
    void buildSample();                     // the sample text drawn in the working font

    void chkFontDirty();
    void chkFontRestore();
    void savFontOrig() { recOrig = rec; }
    void savFontRestore() { recRestore = rec; }
    void rstFontOrig() { rec = recOrig; }
    void getGlobFontFmt();
    void putGlobFontFmt();
    void seeFontSample();
    void getFontFlags();
    void rec2Usr();
    void lodFontDefs();
    void savFontDefs();
    void setSelFont();
    void getDocFont();
    void getGenFonts();
    void dump(const FontFmt &r, const QString &mark, int16_t blankLine);

    bool loading_ = false;
};

} // namespace vt
