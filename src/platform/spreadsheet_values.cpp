// The spreadsheet stand-in's values: cell values and their texts, number
// formats, the colour palette, column sizes, and the generation that tells
// formula results when they are stale.
#include "platform/spreadsheet.h"

#include "platform/errors.h"
#include "platform/spreadsheet_data.h"

#include <QRegularExpression>
#include <cmath>

namespace vt::xl {

// --- values -------------------------------------------------------------------

QString errorText(CellError e)
{
    switch (e) {
    case CellError::Null: return QStringLiteral("#NULL!");
    case CellError::Div0: return QStringLiteral("#DIV/0!");
    case CellError::Value: return QStringLiteral("#VALUE!");
    case CellError::Ref: return QStringLiteral("#REF!");
    case CellError::Name: return QStringLiteral("#NAME?");
    case CellError::Num: return QStringLiteral("#NUM!");
    case CellError::NA: return QStringLiteral("#N/A");
    }
    return QStringLiteral("#VALUE!");
}

bool errorFromText(const QString &text, CellError *e)
{
    // Every error value's text begins with "#": other texts are not compared.
    if (!text.startsWith(u'#'))
        return false;
    for (CellError c : {CellError::Null, CellError::Div0, CellError::Value, CellError::Ref, CellError::Name,
                        CellError::Num, CellError::NA}) {
        if (text.compare(errorText(c), Qt::CaseInsensitive) == 0) {
            *e = c;
            return true;
        }
    }
    return false;
}

static QString shortNumber(double v, int digits)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', digits);
    s.replace(QLatin1String("e+"), QLatin1String("E+")).replace(QLatin1String("e-"), QLatin1String("E-"));
    return s;
}

double Variant::toDouble() const
{
    switch (type_) {
    case Type::Empty: return 0;
    case Type::Number: return num_;
    case Type::Boolean: return num_ != 0 ? -1 : 0;
    case Type::Text: {
        bool ok = false;
        const double v = text_.trimmed().toDouble(&ok);
        if (ok && std::isfinite(v))
            return v;
        break;
    }
    case Type::Error: break;
    }
    vt::raise(13);
}

QString Variant::toString() const
{
    switch (type_) {
    case Type::Empty: return {};
    case Type::Number: return shortNumber(num_, 15);
    case Type::Boolean: return num_ != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Text: return text_;
    case Type::Error: return QStringLiteral("Error %1").arg(int(num_));
    }
    return {};
}

QString Variant::displayText() const
{
    switch (type_) {
    case Type::Empty: return {};
    case Type::Number: {
        const double a = std::fabs(num_);
        if (a != 0 && (a >= 1e11 || a < 1e-9)) {
            QString s = QString::number(num_, 'E', 5);
            return s;
        }
        return shortNumber(num_, 10);
    }
    case Type::Boolean: return num_ != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Type::Text: return text_;
    case Type::Error: return errorText(error());
    }
    return {};
}

bool Variant::operator==(const Variant &o) const
{
    if (type_ != o.type_)
        return false;
    if (type_ == Type::Text)
        return text_ == o.text_;
    return num_ == o.num_;
}

QString formatValue(const Variant &v, const QString &numberFormat)
{
    if (!v.isNumber())
        return v.displayText();
    QString fmt = numberFormat.section(u';', 0, 0);
    if (fmt.isEmpty() || fmt.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 || fmt == QLatin1String("@"))
        return v.displayText();
    fmt.remove(QRegularExpression(QStringLiteral("\"[^\"]*\"")));
    const bool percent = fmt.contains(u'%');
    const bool thousands = fmt.contains(u',');
    int decimals = 0;
    const qsizetype dot = fmt.indexOf(u'.');
    if (dot >= 0)
        for (qsizetype i = dot + 1; i < fmt.size() && (fmt[i] == u'0' || fmt[i] == u'#'); ++i)
            ++decimals;
    double x = v.number() * (percent ? 100 : 1);
    QString s = QString::number(std::fabs(x), 'f', decimals);
    if (thousands) {
        qsizetype intEnd = s.indexOf(u'.');
        if (intEnd < 0)
            intEnd = s.size();
        for (qsizetype i = intEnd - 3; i > 0; i -= 3)
            s.insert(i, u',');
    }
    if (x < 0 && s.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        s.prepend(u'-');
    if (percent)
        s += u'%';
    return s;
}

// --- palette and sizes -----------------------------------------------------------

static const int kPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

int paletteColor(int colorIndex)
{
    return (colorIndex >= 1 && colorIndex <= 56) ? kPalette[colorIndex - 1] : -1;
}

int paletteIndex(int rgb)
{
    for (int i = 0; i < 56; ++i)
        if (kPalette[i] == rgb)
            return i + 1;
    return 0;
}

double columnPixels(double width) { return width < 1 ? width * 12 : width * 7 + 5; }

double widthOfPixels(int pixels)
{
    const double back = pixels < 12 ? pixels / 12.0 : (pixels - 5) / 7.0;
    return std::round(back * 100) / 100;
}

double snapColumnWidth(double width)
{
    if (width <= 0)
        return 0;
    return widthOfPixels(int(columnPixels(width) + 0.5));
}
// --- generations -------------------------------------------------------------------

static quint64 g_generation = 1;
quint64 generation() { return g_generation; }
void bumpGeneration() { ++g_generation; }

} // namespace vt::xl
