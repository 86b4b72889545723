// The notes (rUvuzu): their four-part keys, the key state the notes window
// works on, the ordered store of entries and the lines of the notes file.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>

namespace vt {

inline const QString kNotesFile = QStringLiteral("vantnots.ini");
inline const QString kCrLf = QStringLiteral("\r\n");
// Longest line of the notes file, and most text of one section.
constexpr int kNoteLineMax = 500;
constexpr int kSectionTextMax = 10000;

// Key state of the notes window. KeyPart is stored backwards: [3] = a ... [0] = d,
// the index being the level that moves and additions change.
struct NotesSta {
    int16_t KeyPart[4] = {};
    int16_t SavedPart[4] = {};
    QString NoteKey8 = QStringLiteral("00000000");
    QString NoteKeyText = QStringLiteral("0.0.0.0");
    QString PrevKey8;
    int16_t NoteIndex = 0;
    int16_t KeyParseErr = 0;
    bool InSection = false;
    int16_t BackupCount = 0;
    bool EntryDirty = false;
    bool StoreDirty = false;
    bool StoreNew = false;
    bool UserNote = false;
    bool EditOn = false;
    bool UserEdit = false;
    bool DevMode = false;
};
inline NotesSta NotesState;

// "60000100" of the parts 60.0.1.0 (parts given a first).
QString noteKey8(int a, int b, int c, int d);
// "60.0.1.0".
QString noteKeyText(int a, int b, int c, int d);
// Parses a key text "a.b.c.d" into parts[3..0]. False (parts untouched) when
// it is not well formed: nothing before the first dot, fewer than three dots,
// or a part outside 0 to 99.
bool parseKeyText(const QString &text, int16_t parts[4]);
// A title line "<_a.b.c.d_>" (other characters around it ignored); keyText
// gets the text between the marks.
bool isTitleLine(const QString &line, QString *keyText = nullptr);
// A reference line "<:text:>".
bool isRefLine(const QString &line);
// A text line that holds what looks like a broken title mark.
bool hasTitleMark(const QString &line);

// The ordered store of entries. Each entry starts with its eight-digit key,
// which is also its collection key; keys are unique and positions count from 1.
class NoteStore {
public:
    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    // Entry n (1 to count); empty outside.
    QString item(int n) const;
    bool contains(const QString &key) const { return keys_.contains(key); }
    // Position of the entry under key, 0 when none.
    int position(const QString &key) const;
    // Appends; false when the key is taken.
    bool add(const QString &key, const QString &entry);
    // Inserts before position n (1 to count); false when the key is taken.
    bool insertBefore(int n, const QString &key, const QString &entry);
    // Inserts right after the entry under afterKey; false when the key is
    // taken or afterKey is not there.
    bool insertAfter(const QString &afterKey, const QString &key, const QString &entry);
    bool remove(const QString &key);
    bool removeAt(int n);
    void clear();

private:
    QList<QString> entries_;
    QHash<QString, bool> keys_;
};

// The bytes of the notes file as text: UTF-8 when they are valid UTF-8, else
// code page 1252; utf8 tells which.
QString decodeNotes(const QByteArray &bytes, bool &utf8);
// Text back to bytes: UTF-8 when utf8 or when a character has no code page
// 1252 byte, else code page 1252.
QByteArray encodeNotes(const QString &text, bool utf8);

} // namespace vt
