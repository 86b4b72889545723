// Our own RTF writer: the rich-text model as RTF in the style of the
// platform's rich-edit control ({\rtf1\ansi\ansicpg1252\deff0{\fonttbl...}
// ...\viewkind4\uc1\pard...\par}), which this reader and other RTF readers
// read back to the same content.
#pragma once

#include "platform/rtfmodel.h"

#include <QByteArray>

namespace vt::rtf {

// `fallbackFont` names font 0 when no run names a font.
QByteArray writeRtf(const Document &doc, const QString &fallbackFont = QStringLiteral("Tahoma"));

// Code page 1252 of a character: its byte, or -1 when it has none.
int cp1252Byte(QChar c);
// The character of a code page 1252 byte.
QChar cp1252Char(unsigned char b);
// Bytes of code page 1252 as text.
QString cp1252Text(const QByteArray &bytes);

} // namespace vt::rtf
