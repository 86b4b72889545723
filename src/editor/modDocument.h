// CFile documents: creating CFile windows, opening files into them, saving,
// reverting, the selection formats, and the guards that editing commands of
// every subsystem run first.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace vt {

class frmDocument;
class RichTextBox;

// The filter of the Open and Save dialogs.
inline const QString CFileFilter = QStringLiteral(
    "CFile (*.rtf)|*.rtf|RichText (*.rtf)|*.rtf|Text (*.txt)|*.txt|Log (*.log)|*.log|All (*.*)|*.*|");

// The main window's active CFile; nullptr when none is open.
frmDocument *ActiveForm();
// The active CFile; without one, the editor's "No Open CFile !" notice and null.
frmDocument *activeCFileOrNotice();
// Every open CFile window, oldest first.
QList<frmDocument *> openCFiles();

// Number of open windows whose Tag contains "CFile".
int16_t numOfCFIles();
// "CFile" and one or two digits: a CFile that was never saved.
bool isNewCFile(const QString &name);
// Extension class of a file name: 0-2 ".RTF", 3 ".CAP", 4 ".TXT", 5 ".LOG",
// 6 ".INI", 7 ".BAT", 8 another extension, 9 no "." in the last four characters.
int16_t getExtType(const QString &name);
// 0 rich text, 1 plain text, 8 an extension not handled, 9 no extension.
int16_t chkFileExt(const QString &name);
// The simpler rule of the paths other than the Open dialog: rich text when
// the name ends in "RTF" (any case), plain text otherwise.
int rtfTypeOfName(const QString &name);

// Loads a file into a CFile's box (0 rich text, 1 plain text: UTF-8 when valid,
// else Windows-1252), sets its caption to the path and clears bChanged.
void loadCFile(frmDocument *doc, const QString &path, int fileType);
// Writes a CFile's text (0 rich text, 1 plain text as UTF-8) through a
// temporary file in the same folder that is flushed and then renamed over
// the old one: a failure raises error 75 and leaves the old file as it was.
void writeCFile(RichTextBox *box, const QString &path, int fileType);

// Guard of the editing commands: true when, after its offer to create one,
// still no CFile is open (the caller stops).
bool hasOpenCFile();
// Focus to the active CFile's text, else to the main window.
void setActDocFocus();

void CreateNewCFile();
// CreateNewCFile, answering the CFile window it made (null when none was):
// the caller writes into that CFile, whichever window is active afterwards.
frmDocument *createCFile();
void OpenDocument();
// The save operations answer true only when the file was written; a
// cancelled dialog, a refused name or a failed write answer false.
bool SaveCFile(frmDocument *doc);
bool SaveAs(frmDocument *doc);
// Saves and closes every CFile; false when it stopped early.
bool SaveAll();
void SaveSelectionAs();
void RevertDocument();

// Unloads every CFile (each asks its own close question); false when one of
// them stayed open.
bool unloadCFiles(int unloadMode);
// When the program is ended from outside: each CFile whose unsaved changes the
// close question would ask about is written as rich text to folder (created
// when missing), named after its caption and the current date and time, and
// its changed flag is cleared. Returns the paths written. A CFile that cannot
// be written is reported on stderr (the program must end all the same).
QStringList saveRecoveryCopies(const QString &folder);

// Selection formats of the active CFile.
void togSelBold();
void togSelItalic();
void togSelUnderline();
void togSelStrike();
void setAlignLeft();
void setAlignCenter();
void setAlignRight();
void togBullet();

} // namespace vt
