// The writing half of the settings store: changes to one INI file applied to
// its text line by line. Lines the changes do not touch stay as they were,
// so values of any form written earlier survive a rewrite. What is written
// reads back through QSettings (IniFormat) exactly as given.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vt::ini {

// One change. Names are as QSettings sees them (the store's escaped names);
// they match stored names without regard to case, and a stored spelling is
// kept.
struct Change {
    enum Kind { Set, RemoveKey, RemoveSection };
    Kind kind = Set;
    QString section;
    QString key;
    QString value;
};

// The file's text with the changes applied in order. Lines that QSettings
// cannot read (neither blank, a comment, a "[section]" nor a "key=value")
// are dropped, as a rewrite by QSettings dropped them.
QByteArray apply(const QByteArray &text, const QList<Change> &changes);

// A name and a string value in the file's notation.
QByteArray encodeName(const QString &name);
QString decodeName(const QByteArray &raw);
QByteArray encodeValue(const QString &value);

} // namespace vt::ini
