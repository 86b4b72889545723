#include "platform/rtfwriter.h"

#include "platform/timers.h"

#include <QBuffer>
#include <QHash>
#include <cmath>

namespace vt::rtf {

namespace {

// Code page 1252 where it differs from Latin-1 (bytes 0x80 to 0x9F); 0 marks
// the five bytes that have no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

struct WriterState {
    int font = 0;
    double size = 12.0;
    bool bold = false, italic = false, underline = false, strike = false;
    int color = 0;
    int offset = 0;
};

class Writer {
public:
    Writer(const Document &doc, const QString &fallbackFont) : doc_(doc), fallback_(fallbackFont) {}

    QByteArray run()
    {
        collectTables();
        out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
        for (int i = 0; i < fonts_.size(); ++i) {
            const bool symbol = i == symbolFont_;
            out_ += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + (symbol ? "2 " : "0 ");
            needDelim_ = false;
            text(fonts_[i]);
            out_ += ";}";
        }
        out_ += "}\r\n";
        if (!colors_.isEmpty()) {
            out_ += "{\\colortbl ;";
            for (QRgb c : colors_)
                out_ += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c))
                        + "\\blue" + QByteArray::number(qBlue(c)) + ';';
            out_ += "}\r\n";
        }
        out_ += "\\viewkind4\\uc1";
        needDelim_ = true;
        for (const Paragraph &p : doc_.paragraphs) {
            paragraph(p);
            // A large document takes seconds; the windows keep being painted.
            keepPainted(PaintMode::Only);
        }
        out_ += "}\r\n";
        return out_;
    }

private:
    QString fontOf(const CharFormat &f) const { return f.font.isEmpty() ? fallback_ : f.font; }

    void collectTables()
    {
        auto addFont = [&](const CharFormat &f) {
            const QString name = fontOf(f);
            if (!fontIndex_.contains(name)) {
                fontIndex_.insert(name, int(fonts_.size()));
                fonts_.append(name);
            }
            if (f.color && !colorIndex_.contains(*f.color)) {
                colorIndex_.insert(*f.color, int(colors_.size()) + 1);
                colors_.append(*f.color);
            }
        };
        bool bullets = false;
        for (const Paragraph &p : doc_.paragraphs) {
            for (const Run &r : p.runs) {
                // A picture the PNG encoder refuses (libpng takes at most a
                // million pixels a side) is left out, and so must its font
                // and colour be: a table entry nothing uses would read back
                // as a different document.
                if (!r.picture.isNull()) {
                    pngs_.append(encodePng(r.picture));
                    if (pngs_.back().isEmpty())
                        continue;
                }
                addFont(r.format);
            }
            addFont(p.endFormat);
            bullets = bullets || p.format.bullet;
        }
        if (fonts_.isEmpty())
            addFont(CharFormat{});
        if (bullets) {
            symbolFont_ = int(fonts_.size());
            fonts_.append(QStringLiteral("Symbol"));
        }
    }

    void word(const QByteArray &w)
    {
        out_ += '\\';
        out_ += w;
        needDelim_ = true;
    }
    void word(const char *w, int value) { word(QByteArray(w) + QByteArray::number(value)); }

    void paragraph(const Paragraph &p)
    {
        const ParaFormat &f = p.format;
        word("pard");
        if (f.bullet) {
            const QByteArray sym = QByteArray::number(symbolFont_);
            out_ += "{\\pntext\\f" + sym + "\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + sym
                    + "\\pnindent0{\\pntxtb\\'B7}}";
            needDelim_ = false;
        }
        if (f.align == AlignRight) word("qr");
        else if (f.align == AlignCenter) word("qc");
        else if (f.align == AlignJustify) word("qj");
        if (f.firstLine) word("fi", f.firstLine);
        if (f.left) word("li", f.left);
        if (f.right) word("ri", f.right);
        for (int t : f.tabs)
            word("tx", t);
        for (const Run &r : p.runs) {
            if (!r.picture.isNull()) {
                const QByteArray &png = pngs_.at(nextPng_++);
                if (png.isEmpty())
                    continue;
                format(r.format);
                picture(r, png);
            } else {
                format(r.format);
                text(r.text);
            }
        }
        format(p.endFormat);
        word("par");
        out_ += "\r\n";
        needDelim_ = false;
    }

    void format(const CharFormat &f)
    {
        const int font = fontIndex_.value(fontOf(f));
        if (font != st_.font) { word("f", font); st_.font = font; }
        const int half = std::max(1, int(std::lround(f.size * 2)));
        if (half != int(std::lround(st_.size * 2))) { word("fs", half); st_.size = half / 2.0; }
        if (f.bold != st_.bold) { word(f.bold ? "b" : "b0"); st_.bold = f.bold; }
        if (f.italic != st_.italic) { word(f.italic ? "i" : "i0"); st_.italic = f.italic; }
        if (f.underline != st_.underline) { word(f.underline ? "ul" : "ulnone"); st_.underline = f.underline; }
        if (f.strike != st_.strike) { word(f.strike ? "strike" : "strike0"); st_.strike = f.strike; }
        const int color = f.color ? colorIndex_.value(*f.color) : 0;
        if (color != st_.color) { word("cf", color); st_.color = color; }
        // The offset travels in half points, as RTF has it.
        const int halfPts = int(std::lround(std::abs(f.offset) / 10.0));
        const int offset = (f.offset < 0 ? -halfPts : halfPts) * 10;
        if (offset != st_.offset) {
            if (offset > 0) word("up", halfPts);
            else if (offset < 0) word("dn", halfPts);
            else word("up0");
            st_.offset = offset;
        }
    }

    void text(const QString &s)
    {
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if (u == '\t') { word("tab"); continue; }
            if (c == QChar::LineSeparator) { word("line"); continue; }
            if (needDelim_) {
                out_ += ' ';
                needDelim_ = false;
            }
            if (u == '\\' || u == '{' || u == '}') {
                out_ += '\\';
                out_ += char(u);
            } else if (u >= 0x20 && u < 0x7F) {
                out_ += char(u);
            } else if (const int b = cp1252Byte(c); b >= 0) {
                out_ += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            } else {
                out_ += "\\u" + QByteArray::number(int(u) > 32767 ? int(u) - 65536 : int(u)) + '?';
            }
        }
    }

    static QByteArray encodePng(const QImage &img)
    {
        QByteArray png;
        QBuffer io(&png);
        io.open(QIODevice::WriteOnly);
        if (!img.save(&io, "PNG"))
            return {};
        return png;
    }

    void picture(const Run &r, const QByteArray &png)
    {
        out_ += "{\\pict\\pngblip\\picw" + QByteArray::number(r.picture.width()) + "\\pich"
                + QByteArray::number(r.picture.height()) + "\\picwgoal" + QByteArray::number(r.picWidth)
                + "\\pichgoal" + QByteArray::number(r.picHeight) + "\r\n";
        const QByteArray hex = png.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128) {
            out_ += hex.mid(i, 128);
            out_ += "\r\n";
        }
        out_ += '}';
        needDelim_ = false;
    }

    const Document &doc_;
    QString fallback_;
    QByteArray out_;
    bool needDelim_ = false;
    QStringList fonts_;
    QHash<QString, int> fontIndex_;
    QList<QRgb> colors_;
    QHash<QRgb, int> colorIndex_;
    int symbolFont_ = -1;
    QList<QByteArray> pngs_;  // every picture in order; empty: refused by the encoder
    qsizetype nextPng_ = 0;
    WriterState st_;
};

} // namespace

int cp1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u && u != 0)
            return 0x80 + i;
    return -1;
}

QChar cp1252Char(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0)
        return QChar(kCp1252High[b - 0x80]);
    return QChar(b);
}

QString cp1252Text(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.append(cp1252Char(static_cast<unsigned char>(b)));
    return out;
}

QByteArray writeRtf(const Document &doc, const QString &fallbackFont)
{
    return Writer(doc, fallbackFont).run();
}

} // namespace vt::rtf
