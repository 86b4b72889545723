// The notes window's store: the note box's text, the key of the note shown,
// adding, deleting and stepping through entries, and the notes file.
#include "notes/frmTip.h"
#include "notes/frmTip_detail.h"

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/timers.h"
#include "shell/modApi.h"
#include "shell/modBusy.h"
#include "shell/modFileOperations.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <cstdio>

namespace vt {

using namespace tipdetail;

// --- the note box's text, with CR LF between lines as the store keeps it ---

QString frmTip::noteBoxText() const
{
    // The raw text: the plain-text view would turn no-break spaces into blanks.
    QString t = txtNotex->document()->toRawText();
    t.replace(QChar::ParagraphSeparator, u'\n');
    return t.replace(u'\n', kCrLf);
}

void frmTip::setNoteBoxText(const QString &crlfText)
{
    txtNotex->setPlainText(QString(crlfText).replace(kCrLf, QStringLiteral("\n")));
}

void frmTip::noteChanged()
{
    if (!Filling) {
        // The box holds at most noteMax characters, each line break counting two.
        const QString text = noteBoxText();
        const int over = int(text.size()) - noteMax;
        if (over > 0) {
            const bool was = Filling;
            Filling = true;
            QTextCursor c = txtNotex->textCursor();
            for (int i = 0; i < over && c.position() > 0; ++i)
                c.deletePreviousChar();
            Filling = was;
        }
    }
    setNotDirty(1);
    updNotBtns();
}

// --- the key ---

void frmTip::setNotKey(int a, int b, int c, int d)
{
    NotesSta &s = NotesState;
    s.KeyPart[3] = int16_t(a);
    s.KeyPart[2] = int16_t(b);
    s.KeyPart[1] = int16_t(c);
    s.KeyPart[0] = int16_t(d);
}

void frmTip::savNotKey()
{
    for (int i = 0; i < 4; ++i)
        NotesState.SavedPart[i] = NotesState.KeyPart[i];
}

void frmTip::rstNotKey()
{
    for (int i = 0; i < 4; ++i)
        NotesState.KeyPart[i] = NotesState.SavedPart[i];
}

void frmTip::zapNotKey()
{
    NotesSta &s = NotesState;
    for (int16_t &p : s.KeyPart)
        p = 0;
    s.NoteKey8 = QStringLiteral("00000000");
    s.NoteKeyText = QStringLiteral("0.0.0.0");
    s.KeyParseErr = 0;
    s.NoteIndex = 1;
}

void frmTip::makNotKey()
{
    NotesSta &s = NotesState;
    const int16_t *p = s.KeyPart;
    s.NoteKey8 = noteKey8(p[3], p[2], p[1], p[0]);
    s.NoteKeyText = noteKeyText(p[3], p[2], p[1], p[0]);
    s.UserNote = p[0] >= 1;
    s.UserEdit = s.EditOn && s.UserNote;
    KeyLocked = p[3] + p[2] + p[1] == 297 && !s.DevMode;
}

void frmTip::getNotKey(int n)
{
    NotesState.PrevKey8 = NotesState.NoteKey8;
    int parts[4];
    partsOf(Notes.item(n), parts);
    setNotKey(parts[0], parts[1], parts[2], parts[3]);
    makNotKey();
}

void frmTip::txt2Key(const QString &text)
{
    NotesSta &s = NotesState;
    s.PrevKey8 = s.NoteKey8;
    s.KeyParseErr = parseKeyText(text, s.KeyPart) ? 0 : 1;
    const QString keep = s.NoteKeyText;
    makNotKey();
    s.NoteKeyText = keep;
}

// --- entries ---

QString frmTip::makNotEntry() const
{
    return NotesState.NoteKey8 + QStringLiteral("<:") + txtRefex->text() + QStringLiteral(":>") + kCrLf + noteBoxText();
}

void frmTip::seeNotEntry()
{
    const QString entry = Notes.item(NotesState.NoteIndex);
    QString ref;
    const qsizetype q1 = entry.indexOf(QStringLiteral("<:"), 8);
    if (q1 >= 0) {
        const qsizetype q2 = entry.indexOf(QStringLiteral(":>"), q1 + 2);
        if (q2 >= 0)
            ref = entry.mid(q1 + 2, q2 - q1 - 2);
    }
    // The note starts on the line after the reference line, whatever stood
    // around the reference marks.
    const qsizetype eol = entry.indexOf(kCrLf, 8);
    const QString note = eol >= 0 ? entry.mid(eol + 2) : QString();
    const bool was = Filling;
    Filling = true;
    txtRefex->setText(ref);
    setNoteBoxText(note);
    Filling = was;
    getNotKey(NotesState.NoteIndex);
}

void frmTip::updNotEntry()
{
    NotesSta &s = NotesState;
    makNotKey();
    if (Notes.isEmpty()) {
        zapNotKey();
        Notes.add(s.NoteKey8, makNotEntry());
        s.NoteIndex = 1;
    } else {
        const QString entry = makNotEntry();
        Notes.remove(s.NoteKey8);
        if (Notes.isEmpty()) {
            Notes.add(s.NoteKey8, entry);
            s.NoteIndex = 1;
        } else if (s.NoteIndex >= 1 && s.NoteIndex <= Notes.count()) {
            Notes.insertBefore(s.NoteIndex, s.NoteKey8, entry);
        } else {
            Notes.add(s.NoteKey8, entry);
        }
    }
    s.EntryDirty = false;
    s.StoreDirty = true;
}

void frmTip::addNotRef()
{
    const QString k = kind(NotesState.UserNote);
    const QString key = QStringLiteral("{") + NotesState.NoteKeyText + u'}';
    const bool was = Filling;
    Filling = true;
    txtRefex->setText(QStringLiteral("New ") + k + QStringLiteral(" Reference Added ") + key);
    setNoteBoxText(QStringLiteral("New ") + k + QStringLiteral(" Chapter Added ") + key);
    Filling = was;
}

void frmTip::addFirstNot()
{
    zapNotKey();
    makNotKey();
    addNotRef();
    Notes.add(QStringLiteral("00000000"), makNotEntry());
    NotesState.StoreNew = true;
}

void frmTip::addNotSect(int level, int mode)
{
    NotesSta &s = NotesState;
    const bool was = Filling;
    Filling = true;
    makNotKey();
    const bool levelOk = level >= 0 && level <= 3;
    if (levelOk && ((mode == 0 && s.KeyPart[level] >= 99) || (mode != 0 && s.KeyPart[level] > 99))) {
        MsgBox(QStringLiteral("You have to many rUvuzu already...!\r\nOnly 99 rUvuzu per section are allowed.\r\n"
                              "Your current section is {")
                   + s.NoteKeyText + u'}',
               kBox);
        Filling = was;
        return;
    }
    if (mode == 0 && levelOk) {
        ++s.KeyPart[level];
        for (int i = 0; i < level; ++i)
            s.KeyPart[i] = 0;
    }
    makNotKey();
    addNotRef();
    const QString entry = s.NoteKey8 + QStringLiteral("<:") + txtRefex->text() + QStringLiteral(":>") + kCrLf + noteBoxText();
    bool added = false;
    if (!Notes.contains(s.NoteKey8)) {
        // Placed after the note shown before; when that one is gone, at the end.
        added = Notes.insertAfter(s.PrevKey8, s.NoteKey8, entry) || Notes.add(s.NoteKey8, entry);
    }
    s.NoteIndex = int16_t(Notes.position(s.NoteKey8));
    if (added) {
        s.EditOn = true;
        seeCurNot();
    } else {
        seeCurNot();
        MsgBox(QStringLiteral("Section {") + s.NoteKeyText
                   + QStringLiteral("} Already Exists..!\r\nScroll to the end with blue <Down> button\r\n"
                                    "until you reach the end, then click on <Add>,\r\n"
                                    "or keep clinking on <Add> until end is reached.  "),
               kBox);
    }
    Filling = was;
}

void frmTip::delNotEntry(int level, int mode)
{
    (void)level;
    NotesSta &s = NotesState;
    if (mode == 0) {
        getNotKey(s.NoteIndex);
        if (s.NoteIndex == 0) {
            zapNotKey();
            s.NoteIndex = 0;
        } else if (s.NoteIndex == 1) {
            Notes.removeAt(1);
            s.NoteIndex = Notes.isEmpty() ? 0 : 1;
        } else {
            Notes.removeAt(s.NoteIndex);
            --s.NoteIndex;
        }
        if (!Filling)
            s.EntryDirty = s.StoreDirty = true;
    } else {
        makNotKey();
        Notes.remove(s.NoteKey8);
        --s.NoteIndex;
        if (s.NoteIndex < 0)
            s.NoteIndex = 1;
        s.StoreDirty = true;
    }
}

void frmTip::seeNotList(int direction, int level)
{
    if (level < 0 || level > 3)
        return;
    NotesSta &s = NotesState;
    int16_t kept[4];
    for (int i = 0; i < 4; ++i)
        kept[i] = s.KeyPart[i];
    if (direction == 0)
        s.KeyPart[level] = int16_t(std::max(0, s.KeyPart[level] - 1));
    else if (direction == 1)
        s.KeyPart[level] = int16_t(std::min(99, s.KeyPart[level] + 1));
    for (int i = 0; i < level; ++i)
        s.KeyPart[i] = 0;
    makNotKey();
    if (const int at = Notes.position(s.NoteKey8)) {
        s.NoteIndex = int16_t(at);
        return;
    }
    QString text = QStringLiteral("End of ") + kind(s.UserNote) + QStringLiteral(" rUvuzu...!");
    if (SoftTest)
        text += QStringLiteral(" {") + s.NoteKeyText + QStringLiteral("} ");
    if (s.UserNote)
        text += kCrLf + QStringLiteral("To add your own rUvuzu, click on <Add>  ");
    MsgBox(text, kBox);
    for (int i = 0; i < 4; ++i)
        s.KeyPart[i] = kept[i];
    makNotKey();
}

// --- the file ---

QString frmTip::notesPath() const { return programFolder() + u'/' + kNotesFile; }

bool frmTip::LoadTips(const QString &path)
{
    NotesSta &s = NotesState;
    s.KeyParseErr = 0;
    if (path.isEmpty() || !QFileInfo(path).isFile() || !filExist(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringList lines = decodeNotes(file.readAll(), notesUtf8_).split(u'\n');
    file.close();
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);

    fmtErrs_ = {};
    dupNotes_.clear();
    int lineNo = 0;
    int next = 0;
    QString section;
    int sectionStart = 0; // 0: no section collected
    bool skipping = false;
    s.InSection = false;
    auto readLine = [&](QString &line) {
        if (next >= lines.size())
            return false;
        line = lines.at(next++);
        ++lineNo;
        if (line.size() > kNoteLineMax)
            seeFmtErr(9, lineNo, 1, line);
        return true;
    };
    QString line;
    while (readLine(line)) {
        QString keyText;
        if (isTitleLine(line, &keyText)) {
            skipping = false;
            if (s.InSection) {
                storeSection(section);
                section.clear();
                sectionStart = 0;
            }
            txt2Key(keyText);
            if (s.KeyParseErr > 0) {
                seeFmtErr(1, lineNo, 1, line);
                // A section without a usable key is skipped like any other
                // abandoned section, not collected under the key before it.
                section.clear();
                sectionStart = 0;
                skipping = true;
                continue;
            }
            QString ref;
            const bool got = readLine(ref);
            if (got && isRefLine(ref)) {
                section = s.NoteKey8 + ref + kCrLf;
                s.KeyParseErr = 0;
                s.InSection = true;
                sectionStart = int(section.size());
            } else {
                seeFmtErr(2, lineNo, 1, ref);
            }
            continue;
        }
        if (hasTitleMark(line))
            seeFmtErr(1, lineNo, 1, line);
        if (!s.InSection || skipping)
            continue;
        section += line + kCrLf;
        if (section.size() - sectionStart > kSectionTextMax) {
            section.truncate(sectionStart + kSectionTextMax);
            section += kCrLf + QStringLiteral("Errot at line number (") + QString::number(lineNo)
                + QStringLiteral(") - Text is  to long...!") + kCrLf + QStringLiteral("A Section size can not exceed ")
                + QString::number(kSectionTextMax) + QStringLiteral(" characters per section,") + kCrLf
                + QStringLiteral("this includes Carriage-Returns and Line-Feeds") + kCrLf
                + QStringLiteral("To reduce memory usage - text was truncated to ") + QString::number(kSectionTextMax)
                + QStringLiteral(" characters per section.");
            storeSection(section);
            noteMax = std::max(noteMax, int(section.size()) + 10);
            section.clear();
            s.InSection = false;
            sectionStart = 0;
        }
    }
    if (sectionStart > 0)
        storeSection(section);
    s.NoteIndex = int16_t(Notes.count());
    if (fmtErrs_.lines > 0)
        askFmtErrs();
    if (!dupNotes_.isEmpty())
        seeDupNotes();
    return true;
}

void frmTip::storeSection(const QString &entry)
{
    const QString key = entry.left(8);
    if (Notes.add(key, entry))
        return;
    // A second section under a key that an earlier one already has. A user
    // note moves to the first free number of its section, so that both texts
    // stay; a system note has only the one key, and the later section wins.
    int p[4];
    partsOf(entry, p);
    const QString was = noteKeyText(p[0], p[1], p[2], p[3]);
    if (p[3] >= 1) {
        for (int d = 1; d <= 99; ++d) {
            const QString free = noteKey8(p[0], p[1], p[2], d);
            if (Notes.add(free, free + entry.mid(8))) {
                dupNotes_ << was + QStringLiteral(" was kept as ") + noteKeyText(p[0], p[1], p[2], d);
                return;
            }
        }
    }
    // In the earlier one's place, so that the file's order stays.
    const int at = Notes.position(key);
    Notes.removeAt(at);
    Notes.insertBefore(at, key, entry);
    dupNotes_ << was + QStringLiteral(": the later section was kept");
}

void frmTip::seeDupNotes()
{
    constexpr int kShown = 8;
    QString text = QStringLiteral("The rUvuzu file holds ") + QString::number(dupNotes_.size())
        + (dupNotes_.size() == 1 ? QStringLiteral(" section") : QStringLiteral(" sections"))
        + QStringLiteral(" under a number that an earlier section already has:");
    for (int i = 0; i < dupNotes_.size() && i < kShown; ++i)
        text += kCrLf + dupNotes_.at(i);
    if (dupNotes_.size() > kShown)
        text += kCrLf + QStringLiteral("and ") + QString::number(dupNotes_.size() - kShown) + QStringLiteral(" more");
    text += kCrLf + kCrLf + notesPath();
    MsgBox(text, kBox);
}

void frmTip::seeFmtErr(int kind, int lineNumber, int fileNumber, const QString &line)
{
    (void)fileNumber;
    // Noted here and asked about once for the whole file (askFmtErrs): a
    // damaged file would otherwise raise one question per bad line. The
    // section being read is abandoned, as after a Yes.
    if (fmtErrs_.lines == 0) {
        fmtErrs_.kind = kind;
        fmtErrs_.lineNumber = lineNumber;
        fmtErrs_.line = line;
    }
    if (lineNumber != fmtErrs_.lastLine)
        ++fmtErrs_.lines;
    fmtErrs_.lastLine = lineNumber;
    NotesState.InSection = false;
    NotesState.KeyParseErr = 0;
}

void frmTip::askFmtErrs()
{
    static const char *const names[3] = {"Section ID Numbers", "Reference Line", "Title Line"};
    const int kind = fmtErrs_.kind;
    QString why;
    if (kind == 1)
        why = QString::fromLatin1(names[0]) + QStringLiteral(" - format example: <_nn.nn.nn.nn_>");
    else if (kind == 2)
        why = QString::fromLatin1(names[1]) + QStringLiteral(" - format example: <:your refence text:>");
    else if (kind == 9)
        why = QStringLiteral("Input Line Size - maximum allowed (") + QString::number(kNoteLineMax)
            + QStringLiteral(") characters.");
    // A line of a damaged file can be long and hold anything: the box shows
    // its start, in characters that can be read.
    QString shown = fmtErrs_.line.left(kNoteLineMax);
    for (QChar &c : shown)
        if ((c.category() == QChar::Other_Control && c != u'\t') || c.category() == QChar::Other_Format
            || c.category() == QChar::Other_NotAssigned || c.isSurrogate())
            c = u'?';
    QString text = QStringLiteral("Format Error on Line Number (") + QString::number(fmtErrs_.lineNumber)
        + QStringLiteral(")  ") + kCrLf + QStringLiteral("Invalid ") + why + kCrLf + QStringLiteral("Input Was: ''")
        + shown + QStringLiteral("''") + kCrLf + QStringLiteral("Number of valid sections added: (")
        + QString::number(Notes.count()) + u')' + kCrLf;
    text += QStringLiteral("Number of lines that could not be read: (") + QString::number(fmtErrs_.lines) + u')' + kCrLf
        + QStringLiteral("Continue Anyway..?");
    if (MsgBox(text, vbYesNo | vbDefaultButton1 | vbSystemModal | vbMsgBoxSetForeground) == vbNo) {
        // The program ends here; its instance record must not stay "running".
        trapErrors([] { savAppEnd(); });
        endProgram(0);
    }
}

QString frmTip::notesText()
{
    QString out;
    for (int n = 1; n <= Notes.count(); ++n) {
        const QString entry = Notes.item(n);
        int p[4];
        partsOf(entry, p);
        out += QStringLiteral("<_") + noteKeyText(p[0], p[1], p[2], p[3]) + QStringLiteral("_>") + kCrLf;
        const QString body = entry.mid(8);
        out += body;
        if (!body.endsWith(kCrLf))
            out += kCrLf;
    }
    return out;
}

void frmTip::savNots()
{
    NotesSta &s = NotesState;
    updNotEntry();
    const QString path = notesPath();
    auto fail = [&] {
        MsgBox(QStringLiteral("Error in saving rUvuzu file...!") + kCrLf + path, kBox);
        s.StoreDirty = true;
    };
    // With no notes file yet there is nothing to keep a copy of.
    if (chkBackup->isChecked() && QFileInfo::exists(path)) {
        QString name = path;
        while (QFileInfo::exists(name)) {
            ++s.BackupCount;
            name = path.left(path.size() - 4) + Format(s.BackupCount, QStringLiteral("000")) + u'.' + path.right(3);
        }
        if (!QFile::copy(path, name)) {
            fail();
            return;
        }
    }
    // Written beside the old file and renamed over it, so that a failed write
    // never leaves a truncated notes file.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(encodeNotes(notesText(), notesUtf8_)) < 0 || !out.commit()) {
        fail();
        return;
    }
    s.StoreNew = s.EntryDirty = s.StoreDirty = false;
    updNotBtns();
}

void frmTip::seeNoNotsFile()
{
    zapNotKey();
    const bool was = Filling;
    Filling = true;
    txtRefex->setText(QStringLiteral("Error - rUvuzu file missing"));
    setNoteBoxText(QStringLiteral("Help rUvuzu file is mising...\r\n\r\nDirectory Location,\r\n''") + programFolder()
                   + QStringLiteral("''\r\n\r\nMissing File Name,\r\n''") + kNotesFile
                   + QStringLiteral("''\r\n\r\nFor help, ask whoever installed Vantrell for you,\r\n"
                                    "or try to find the missing file.\r\n"
                                    "You can always download a new copy of this software\r\nfrom ''")
                   + resourcesFolder() + QStringLiteral("''"));
    Filling = was;
    updNotEntry();
    NotesState.NoteIndex = 1;
    NotesState.StoreDirty = false;
}

} // namespace vt
