// The notes window rUvuzu: one note of the notes store at a time, system notes
// read-only on light yellow, the user's own notes on cyan; it also asks the
// program's numbered questions. Loaded once at start-up, shown and hidden
// until the program ends.
#pragma once

#include "notes/modNotes.h"
#include "shell/supportWindow.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vt {

class frmTip : public QWidget, public SupportWindow<frmTip> {
    Q_OBJECT
public:
    frmTip();
    ~frmTip() override;

    // --- controls ---
    QLineEdit *txtRefex = nullptr;
    QPlainTextEdit *txtNotex = nullptr;
    QFrame *poxNotex = nullptr;
    QPushButton *cmdMove[4] = {};
    QPushButton *cmdUMove[3] = {};
    QPushButton *cmdEdit[6] = {};
    QPushButton *cmdAddDel[8] = {};
    QPushButton *cmdRecMods = nullptr;
    QPushButton *cmdAnsr[4] = {};
    QLabel *labPrmpt = nullptr;
    QFrame *fraUsrBoss[2] = {};
    QFrame *fraEdit[2] = {};
    QFrame *fraMove = nullptr;
    QFrame *fraAddDel = nullptr;
    QPushButton *cmdOption = nullptr;
    QPushButton *cmdClose = nullptr;
    QCheckBox *chkExit = nullptr;
    QCheckBox *chkRefSee = nullptr;
    QCheckBox *chkBackup = nullptr;
    QCheckBox *chkVipNotes = nullptr;
    // The start-up options of the options layout.
    QCheckBox *chkWarningOn[2] = {};
    QCheckBox *chkCroDetect = nullptr;
    QRadioButton *optCroSelect[2] = {};
    // The go-to keys A and B (element 3 is part a, 0 part d), their buttons
    // (0 to 3 key A, 4 to 7 key B: take, go, delete, add) and the arrows
    // that step entry by entry.
    QFrame *fraGoTo = nullptr;
    QLineEdit *txtAGoTo[4] = {};
    QLineEdit *txtBGoTo[4] = {};
    QPushButton *cmdTagGo[8] = {};
    QPushButton *cmdTagMov[2] = {};
    // The key frame's arrows: 0 to 3 up, 4 to 7 down, the leftmost column
    // acting on part a.
    QPushButton *cmdMovKey[8] = {};
    // Small captionless switches for the program's maintainers, shown only
    // while the more-options switch is on.
    QPushButton *fraMake[12] = {};

    // --- window state ---
    NoteStore Notes;
    bool Filling = false;
    bool KeyLocked = false;
    int16_t AskAnswer = 0;
    bool AskMode = false;
    bool AskPending = false;
    int16_t NoteLayout = 0; // 0 browse, 1 options, 2 edit
    bool BigEdit = false;
    // Most characters of the note box (CR LF counting two).
    int noteMax = kSectionTextMax;

    // --- public procedures ---
    void lodTip();
    void extTip(int cancel);
    // Shows the note a.b.c.d; addIfMissing > 0 adds a missing section; modal 1 waits.
    void seeXNots(int a, int b, int c, int d, double addIfMissing, int16_t modal);
    // Shows a.b.c.0 modally with a question; 6 Yes, 7 No, 2 Cancel, 0 closed.
    int16_t seeYNots(const QString &prompt, int a, int b, int c, int16_t questionMode);
    // The notes menu: modal, on the note shown last.
    void seeNotes();
    // Reads the notes file into the store; false when there is none.
    bool LoadTips(const QString &path);
    void GetFrmSet();
    void SaveFrmSet();
    // Shows the hidden switches exactly while SoftMore is on.
    void soxMore();
    // Spell-checks a text box's text in place.
    void spellCheck(QPlainTextEdit *box);

    // --- the key, the store and the file ---
    void setNotKey(int a, int b, int c, int d);
    void savNotKey();
    void rstNotKey();
    void zapNotKey();
    void makNotKey();
    void getNotKey(int n);
    void txt2Key(const QString &text);
    QString makNotEntry() const;
    void seeNotEntry();
    void updNotEntry();
    void addFirstNot();
    void addNotRef();
    void addNotSect(int level, int mode);
    void delNotEntry(int level, int mode);
    void seeNotList(int direction, int level);
    void savNots();
    // Notes a format error of the file being read; askFmtErrs asks about all
    // of them at once when the file has been read (No ends the program).
    void seeFmtErr(int kind, int lineNumber, int fileNumber, const QString &line);
    void askFmtErrs();
    // Stores a section read from the file, keeping a second one under a
    // taken key (storeSection); seeDupNotes says what became of them.
    void storeSection(const QString &entry);
    void seeDupNotes();
    void seeNoNotsFile();
    // The notes file's path and the encoding it was read in.
    QString notesPath() const;
    // The store in the file's format.
    QString notesText();

    // --- the window ---
    void rstNotVars();
    void seeCurNot();
    void updNotBtns();
    void setNotLayout();
    void setNotColors();
    void setNotCaption();
    void seeMoveFrames();
    void setNotDirty(int mode);
    void setAskMode(int16_t mode);
    // Asks to save a changed store: false after Cancel.
    bool chkSavNots();
    void zapNots();
    // Shows the window modeless (the Help menu's notes), counted in use.
    void showModeless();
    // At program exit: offers to save a changed store; false keeps the program.
    bool qryExitNotes();
    // On a signal: writes a changed store into folder; the path, or empty.
    QString saveRecoveryCopy(const QString &folder);

    // --- event handlers ---
    void cmdMove_Click(int index);
    void cmdUMove_Click(int index);
    void cmdEdit_Click(int index);
    void cmdAddDel_Click(int index);
    void cmdRecMods_Click();
    void cmdAnsr_Click(int index);
    void cmdOption_Click();
    void cmdClose_Click();
    void chkExit_Click();
    void chkRefSee_Click();
    void cmdTagGo_Click(int index);
    void cmdTagMov_Click(int index);
    void cmdMovKey_Click(int index);
    void fraMake_Click(int index);
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void build();
    void buildOptions();
    void buildEditing();
    void buildGoTo();
    void connectHandlers();
    // "ABGoTo" of section "frmVipNotes": both go-to keys, two digits a part.
    void savGoTo();
    void getGoTo();
    void showTip(bool modal);
    void noteChanged();
    QString noteBoxText() const;
    void setNoteBoxText(const QString &crlfText);
    // Counts the window in use when it goes from hidden to shown, once.
    void countShown();
    void countClosed();
    bool shownCounted_ = false;
    bool notesUtf8_ = false;
    // Format errors of the file being read: the first one, and how many lines.
    struct FmtErrs {
        int lines = 0;
        int lastLine = 0;
        int kind = 0;
        int lineNumber = 0;
        QString line;
    } fmtErrs_;
    QStringList dupNotes_;
};

} // namespace vt
