// Conversions between text, numbers, dates, sizes and colours, with the
// platform's rules (banker's rounding, leading blank of Str, Format patterns).
#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace vt {

// Platform Booleans: True is -1 (all bits set), False 0.
constexpr int16_t vbTrue = -1;
constexpr int16_t vbFalse = 0;

// Leading number of a text: blanks skipped, digits with one point and an
// exponent, &H/&O prefixes; stops at the first character that does not fit.
double Val(const QString &text);

// Rounding half to even, as CInt/CLng do. Out of range raises error 6.
int16_t CInt(double value);
int32_t CLng(double value);
// Text to number as CInt/CLng/CDbl do: the whole text must be a number (else 13).
int16_t CInt(const QString &text);
int32_t CLng(const QString &text);
double CDbl(const QString &text);

// Str: a leading blank for non-negative numbers.
QString Str(double value);

// Format with the patterns the program uses: "0", "00", "000", "0.0", "0.00",
// "##0.0", "###,###,###,###", "#0.000" and alike (digits, '#', '0', ',', '.'),
// and the named "General Date", "Short Date", "Long Time", "hh:mm:ss".
QString Format(double value, const QString &pattern);
QString Format(const QDateTime &when, const QString &pattern);

// Text to Boolean: "True"/"False" (any case), or a number (0 False, else True).
// Anything else raises error 13 "Type mismatch".
bool CBool(const QString &text);
// The platform's Boolean text.
inline QString BoolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

// A date-time as the system's general date format shows it: short date, long time.
QString GeneralDate(const QDateTime &when);

// Twips (1/1440 inch) and pixels at the platform's 96 dpi: 15 twips a pixel.
constexpr int TwipsPerPixel = 15;
inline int TwipsToPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
inline int PixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }

// Colour numbers: red in the low byte, blue in the high byte (0x00BBGGRR).
// System colours have the high bit set; 0x8000000F (15, button face) is the one
// the program uses.
constexpr uint32_t SysColorButtonFace = 0x8000000Fu;
uint32_t RGB(int r, int g, int b);
QColor colorFromNumber(uint32_t bgr);
uint32_t numberFromColor(const QColor &c);

} // namespace vt
