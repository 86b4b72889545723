#include "platform/rtfreader.h"

#include "platform/rtfwriter.h"
#include "platform/timers.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <QStringDecoder>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace vt::rtf {

bool looksLikeRtf(const QByteArray &data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

namespace {

enum class Dest { Text, Skip, FontTable, ColorTable, Picture, ListText, PnProps };

enum class PicKind { None, Png, Jpeg, Dib, Unsupported };

struct GroupState {
    Dest dest = Dest::Text;
    CharFormat chr;
    int fontNum = -1;      // -1: the default font
    int uc = 1;
    bool ownsPicture = false;
    bool ownsFontEntry = false;
};

struct FontEntry {
    QString name;
    int charset = 0;
};

// Destinations whose content is not part of the document's text.
const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> words = {
        "info", "stylesheet", "header", "headerl", "headerr", "headerf", "footer", "footerl",
        "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "xe", "tc", "txe",
        "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "colorschememapping",
        "themedata", "latentstyles", "datastore", "xmlnstbl", "mmathPr", "filetbl", "pgdsctbl",
        "objdata", "objclass", "objname", "bkmkstart", "bkmkend", "private", "userprops",
        "docvar", "template", "pnseclvl", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc",
        "aftncn", "comment", "keywords", "author", "operator", "title", "subject", "doccomm",
        "company", "shpinst", "sp", "sn", "sv", "falt", "panose", "fontemb", "fontfile",
        "wgrffmtfilter", "pgptbl", "passwordhash", "protusertbl", "fldinst", "nonshppict",
        "pntxta", "pntxtb", "blipuid", "picprop", "defchp", "defpap", "fchars", "lchars",
        "ud" /* keep the \upr fallback, drop the Unicode twin: both hold the same text */};
    return words;
}

int codePageOfCharset(int charset, int ansiCp)
{
    switch (charset) {
    case 0: case 1: return ansiCp;
    case 2: return 0;             // symbol fonts: bytes are their own codes
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return ansiCp;
    }
}

QString decodeBytes(const QByteArray &bytes, int cp)
{
    QString out;
    if (cp == 0) {
        out = QString::fromLatin1(bytes);
    } else if (cp == 1252) {
        out = cp1252Text(bytes);
    } else {
        QByteArray name = cp == 10000 ? QByteArray("macintosh")
                        : cp == 437 || cp == 850 ? "IBM" + QByteArray::number(cp)
                        : cp == 932 ? QByteArray("Shift_JIS")
                        : cp == 936 ? QByteArray("GBK")
                        : cp == 949 ? QByteArray("EUC-KR")
                        : cp == 950 ? QByteArray("Big5")
                        : "windows-" + QByteArray::number(cp);
        QStringDecoder dec(name.constData());
        out = dec.isValid() ? dec(bytes) : cp1252Text(bytes);
    }
    // Breaks inside text would split paragraphs behind the model's back.
    out.removeIf([](QChar c) {
        return c == QChar('\r') || c == QChar('\n') || c == QChar::ParagraphSeparator || c.unicode() == 0;
    });
    return out;
}

bool isBulletText(const QString &t)
{
    const QString s = t.trimmed();
    if (s.size() != 1)
        return false;
    static const QString bullets = QStringLiteral(u"\u2022\u00B7\uF0B7\u25CF\u25AA\u25A0\u25E6o\uF0A7\u00A7\u2013-*\uF076\uF0D8\uF0FC\uF06C\uF0A8");
    return bullets.contains(s[0]);
}

// Why a picture could not be decoded.
enum class PicFailure { None, Unreadable, OverBudget };

// Sizes are checked before the decoder allocates anything: the header says
// what the pixels will cost, and the decoder's own limit backs that up.
bool fitsBudget(QImageReader &reader, qint64 maxPixels, PicFailure &failure)
{
    const QSize sz = reader.size();
    if (!sz.isValid() || sz.isEmpty()) {
        failure = PicFailure::Unreadable;
        return false;
    }
    if (qint64(sz.width()) * sz.height() > maxPixels) {
        failure = PicFailure::OverBudget;
        return false;
    }
    // In megabytes, for four bytes a pixel, and never below Qt's own default.
    reader.setAllocationLimit(int(std::max<qint64>(128, maxPixels * 4 / (1 << 20) + 1)));
    return true;
}

// A device-independent bitmap in RTF lacks the file header; prepend one so
// Qt's BMP reader takes it. Null when the header is not sane.
QImage decodeDib(const QByteArray &dib, qint64 maxPixels, PicFailure &failure)
{
    failure = PicFailure::Unreadable;
    if (dib.size() < 16)
        return {};
    const auto *d = reinterpret_cast<const uchar *>(dib.constData());
    const quint32 hdrSize = qFromLittleEndian<quint32>(d);
    if (hdrSize < 12 || hdrSize > 1024 || hdrSize > quint32(dib.size()))
        return {};
    quint32 palette = 0;
    if (hdrSize >= 40 && dib.size() >= 36) {
        const qint64 w = qFromLittleEndian<qint32>(d + 4);
        const qint64 h = qFromLittleEndian<qint32>(d + 8);
        const quint16 bits = qFromLittleEndian<quint16>(d + 14);
        const quint32 compression = qFromLittleEndian<quint32>(d + 16);
        const quint32 used = qFromLittleEndian<quint32>(d + 32);
        if (w <= 0 || std::llabs(h) == 0)
            return {};
        if (w * std::llabs(h) > maxPixels) {
            failure = PicFailure::OverBudget;
            return {};
        }
        if (bits <= 8)
            palette = (used ? std::min<quint32>(used, 256u) : (1u << bits)) * 4;
        if (compression == 3 && hdrSize == 40)
            palette += 12;
    } else if (hdrSize == 12) {
        const quint16 bits = qFromLittleEndian<quint16>(d + 10);
        if (bits <= 8)
            palette = (1u << bits) * 3;
    }
    QByteArray file("BM");
    const quint32 total = 14 + quint32(dib.size());
    const quint32 offset = 14 + hdrSize + palette;
    char buf[4];
    qToLittleEndian<quint32>(total, buf);
    file.append(buf, 4);
    file.append(4, '\0');
    qToLittleEndian<quint32>(offset, buf);
    file.append(buf, 4);
    file.append(dib);
    QBuffer io(&file);
    io.open(QIODevice::ReadOnly);
    QImageReader reader(&io, "bmp");
    if (!fitsBudget(reader, maxPixels, failure))
        return {};
    failure = PicFailure::Unreadable;
    return reader.read();
}

// Null with the reason in `failure` when the picture is not decoded.
QImage decodePicture(PicKind kind, const QByteArray &data, qint64 maxPixels, PicFailure &failure)
{
    failure = PicFailure::Unreadable;
    if (kind == PicKind::Dib)
        return decodeDib(data, maxPixels, failure);
    // Check the signature first: the decoders complain loudly about garbage.
    if (!(kind == PicKind::Png && data.startsWith("\x89PNG\r\n\x1a\n"))
        && !(kind == PicKind::Jpeg && data.startsWith("\xFF\xD8")))
        return {};
    QByteArray copy = data;
    QBuffer io(&copy);
    io.open(QIODevice::ReadOnly);
    QImageReader reader(&io, kind == PicKind::Png ? "png" : "jpeg");
    if (!fitsBudget(reader, maxPixels, failure))
        return {};
    failure = PicFailure::Unreadable;
    return reader.read();
}

class Reader {
public:
    Reader(const QByteArray &in, const std::atomic<bool> *cancel)
        : in_(in), cancel_(cancel), onProgramThread_(isProgramThread())
    {
    }

    ReadResult run()
    {
        // Everything before the outer group is not RTF.
        pos_ = in_.indexOf('{');
        if (pos_ < 0 || !looksLikeRtf(in_))
            return {};
        while (pos_ < in_.size() && !done_) {
            // A read given up by its caller stops within a few thousand steps.
            if (cancel_ && (++steps_ & kCancelLookMask) == 0 && cancel_->load(std::memory_order_relaxed)) {
                result_.cancelled = true;
                break;
            }
            const char c = in_[pos_];
            if (overflow_ > 0) {
                skipOverflow(c);
                continue;
            }
            switch (c) {
            case '{':
                ++pos_;
                flushBytes();
                pushGroup();
                // A large file takes seconds; read on the program's thread,
                // the windows keep being painted (a read on a thread of its
                // own leaves them to the program's thread).
                if (onProgramThread_)
                    keepPainted(PaintMode::Only);
                break;
            case '}': ++pos_; flushBytes(); popGroup(); break;
            case '\\': controlToken(); break;
            case '\r': case '\n': ++pos_; break;
            default:
                ++pos_;
                textByte(static_cast<unsigned char>(c));
            }
        }
        flushBytes();
        resolveSurrogate();
        if (!done_)
            result_.skipped.truncated = true;
        if (!cur_.runs.empty() || hasListText_)
            endParagraph();
        result_.complete = !result_.skipped.any() && !result_.cancelled;
        return std::move(result_);
    }

private:
    // --- groups -------------------------------------------------------------
    void pushGroup()
    {
        if (!started_) {
            started_ = true;
            return; // the outer group's state is st_ itself
        }
        if (int(stack_.size()) + 1 >= kMaxGroupDepth) {
            overflow_ = 1;
            ++result_.skipped.deepGroups;
            return;
        }
        stack_.push_back(st_);
        st_.ownsPicture = false;
        st_.ownsFontEntry = false;
        ucSkip_ = 0;
    }

    void popGroup()
    {
        ucSkip_ = 0;
        resolveSurrogate();
        if (st_.ownsPicture)
            finishPicture();
        if (st_.ownsFontEntry || (st_.dest == Dest::FontTable && !stack_.empty()
                                  && stack_.back().dest == Dest::FontTable))
            commitFont();
        if (stack_.empty()) {
            done_ = true; // the outer group closed: the document ends here
            return;
        }
        const Dest inner = st_.dest;
        st_ = stack_.back();
        stack_.pop_back();
        if (inner == Dest::FontTable && st_.dest != Dest::FontTable)
            commitFont();
    }

    // Inside groups deeper than the cap: count braces, drop the rest.
    void skipOverflow(char c)
    {
        ++pos_;
        if (c == '\\') {
            ++pos_; // an escaped brace must not count
        } else if (c == '{') {
            ++overflow_;
        } else if (c == '}') {
            --overflow_;
        }
    }

    // --- tokens ------------------------------------------------------------
    void controlToken()
    {
        ++pos_; // the backslash
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (isAsciiLetter(c)) {
            const qsizetype start = pos_;
            while (pos_ < in_.size() && isAsciiLetter(in_[pos_]))
                ++pos_;
            const QByteArray word = in_.mid(start, std::min<qsizetype>(pos_ - start, 40));
            bool hasParam = false;
            bool neg = false;
            long long value = 0;
            if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && isDigit(in_[pos_ + 1])) {
                neg = true;
                ++pos_;
            }
            int digits = 0;
            while (pos_ < in_.size() && isDigit(in_[pos_])) {
                hasParam = true;
                if (digits++ < 10)
                    value = value * 10 + (in_[pos_] - '0');
                ++pos_;
            }
            if (pos_ < in_.size() && in_[pos_] == ' ')
                ++pos_;
            value = std::clamp<long long>(neg ? -value : value, INT_MIN, INT_MAX);
            controlWord(word, hasParam, int(value));
            return;
        }
        ++pos_;
        switch (c) {
        case '\'': {
            int v = 0;
            int n = 0;
            while (n < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
                v = v * 16 + hexValue(in_[pos_]);
                ++pos_;
                ++n;
            }
            if (n == 2)
                textByte(static_cast<unsigned char>(v), true);
            break;
        }
        case '\\': case '{': case '}': textByte(static_cast<unsigned char>(c), true); break;
        case '~': textChar(QChar(0x00A0)); break;
        case '_': textChar(QChar(0x2011)); break;
        case '-': consumeSkip(); break; // optional hyphen: not shown
        case '*': asterisk_ = true; return;
        case '\r': case '\n': controlWord("par", false, 0); break;
        case '\t': textChar(QChar('\t')); break;
        default: consumeSkip(); break;
        }
        asterisk_ = false;
    }

    void controlWord(const QByteArray &w, bool hasParam, int v)
    {
        const bool destination = asterisk_;
        asterisk_ = false;
        if (w == "bin") {
            // Raw bytes follow: take them as picture data or step over them.
            // A count that runs past the end cannot be right, and taking it
            // would hide everything after it: read on as RTF instead.
            if (hasParam && v > in_.size() - pos_) {
                result_.skipped.binPastEnd = true;
                return;
            }
            const qsizetype n = std::max<qsizetype>(hasParam ? v : 0, 0);
            if (st_.dest == Dest::Picture)
                appendPictureBytes(in_.mid(pos_, n));
            pos_ += n;
            return;
        }
        if (st_.dest == Dest::Skip)
            return;
        if (ucSkip_ > 0 && st_.dest == Dest::Text && w != "par" && w != "pard") {
            --ucSkip_;
            return;
        }
        flushBytes();
        const bool textual = st_.dest == Dest::Text || st_.dest == Dest::ListText;
        if ((textual || destination) && destinationWord(w, destination))
            return;
        if ((w == "u" || w == "uc") && (st_.dest == Dest::FontTable || st_.dest == Dest::ListText)) {
            textWord(w, hasParam, v); // Unicode in a font name or a list's number
            return;
        }
        switch (st_.dest) {
        case Dest::FontTable: fontTableWord(w, hasParam, v); return;
        case Dest::ColorTable: colorTableWord(w, v); return;
        case Dest::Picture: pictureWord(w, hasParam, v); return;
        case Dest::PnProps: pnWord(w); return;
        case Dest::ListText:
        case Dest::Text: textWord(w, hasParam, v); return;
        case Dest::Skip: return;
        }
    }

    // Words that start a destination; true when the word was one.
    bool destinationWord(const QByteArray &w, bool starred)
    {
        if (w == "fonttbl") { st_.dest = Dest::FontTable; return true; }
        if (w == "colortbl") { st_.dest = Dest::ColorTable; return true; }
        if (w == "pict") {
            st_.dest = Dest::Picture;
            st_.ownsPicture = true;
            pic_ = Picture{};
            return true;
        }
        if (w == "pntext" || w == "listtext") {
            st_.dest = Dest::ListText;
            hasListText_ = true;
            return true;
        }
        if (w == "pn") { st_.dest = Dest::PnProps; paraNumbered_ = true; return true; }
        if (w == "fldrslt" || w == "shppict" || w == "result" || w == "shprslt")
            return st_.dest == Dest::Text;
        if (skippedDestinations().contains(w) || starred) {
            st_.dest = Dest::Skip;
            return true;
        }
        return false;
    }

    void fontTableWord(const QByteArray &w, bool hasParam, int v)
    {
        if (w == "f" && hasParam) {
            commitFont();
            fontNum_ = v;
            fontName_.clear();
            fontCharset_ = 0;
            inFont_ = true;
            st_.ownsFontEntry = true;
        } else if (w == "fcharset") {
            fontCharset_ = v;
        }
    }

    void commitFont()
    {
        if (!inFont_)
            return;
        inFont_ = false;
        QString name = fontName_;
        name.removeIf([](QChar c) { return c.unicode() < 0x20 || c == QChar::LineSeparator; });
        name = name.trimmed();
        if (name.endsWith(QChar(';')))
            name.chop(1);
        name = name.trimmed();
        if (fonts_.size() < kMaxFonts || fonts_.contains(fontNum_))
            fonts_.insert(fontNum_, FontEntry{name, fontCharset_});
        else
            ++result_.skipped.pastCaps;
        fontName_.clear();
    }

    void colorTableWord(const QByteArray &w, int v)
    {
        const int c = std::clamp(v, 0, 255);
        if (w == "red") { color_ = qRgb(c, qGreen(color_), qBlue(color_)); colorSet_ = true; }
        else if (w == "green") { color_ = qRgb(qRed(color_), c, qBlue(color_)); colorSet_ = true; }
        else if (w == "blue") { color_ = qRgb(qRed(color_), qGreen(color_), c); colorSet_ = true; }
    }

    void pictureWord(const QByteArray &w, bool hasParam, int v)
    {
        if (w == "pngblip") pic_.kind = PicKind::Png;
        else if (w == "jpegblip") pic_.kind = PicKind::Jpeg;
        else if (w == "dibitmap") pic_.kind = PicKind::Dib;
        else if (w == "wbitmap" || w == "wmetafile" || w == "emfblip" || w == "macpict"
                 || w == "pmmetafile")
            pic_.kind = PicKind::Unsupported;
        else if (!hasParam) return;
        else if (w == "picw") pic_.w = v;
        else if (w == "pich") pic_.h = v;
        else if (w == "picwgoal") pic_.goalW = v;
        else if (w == "pichgoal") pic_.goalH = v;
        else if (w == "picscalex") pic_.scaleX = v;
        else if (w == "picscaley") pic_.scaleY = v;
    }

    void pnWord(const QByteArray &w)
    {
        if (w == "pnlvlblt")
            paraBullet_ = true;
        else if (w == "pnlvlbody" || w == "pnlvlcont" || w.startsWith("pnlvl"))
            paraBullet_ = false;
    }

    void textWord(const QByteArray &w, bool hasParam, int v)
    {
        const bool on = !hasParam || v != 0;
        CharFormat &c = st_.chr;
        // Paragraph structure and special characters.
        if (w == "par" || w == "sect" || w == "page" || w == "row") {
            if (st_.dest == Dest::Text)
                endParagraph();
        }
        else if (w == "line") textChar(QChar::LineSeparator);
        else if (w == "tab" || w == "cell") textChar(QChar('\t'));
        else if (w == "emdash") textChar(QChar(0x2014));
        else if (w == "endash") textChar(QChar(0x2013));
        else if (w == "emspace") textChar(QChar(0x2003));
        else if (w == "enspace") textChar(QChar(0x2002));
        else if (w == "qmspace") textChar(QChar(0x2005));
        else if (w == "bullet") textChar(QChar(0x2022));
        else if (w == "lquote") textChar(QChar(0x2018));
        else if (w == "rquote") textChar(QChar(0x2019));
        else if (w == "ldblquote") textChar(QChar(0x201C));
        else if (w == "rdblquote") textChar(QChar(0x201D));
        else if (w == "u" && hasParam) {
            const int code = v < 0 ? v + 65536 : v;
            if (code > 0 && code <= 0xFFFF && code != '\r' && code != '\n' && code != 0x2029)
                unicodeChar(char16_t(code));
            ucSkip_ = st_.uc;
        }
        else if (w == "uc") st_.uc = std::clamp(v, 0, 16);
        // Document.
        else if (w == "ansicpg" && hasParam) ansiCp_ = v;
        else if (w == "mac") ansiCp_ = 10000;
        else if (w == "pc") ansiCp_ = 437;
        else if (w == "pca") ansiCp_ = 850;
        else if (w == "deff" && hasParam) deff_ = v;
        // Characters.
        else if (w == "plain") { c = CharFormat{}; st_.fontNum = -1; }
        else if (w == "f" && hasParam) st_.fontNum = v;
        else if (w == "fs") { if (hasParam && v > 0) c.size = std::min(v / 2.0, kMaxFontSize); }
        else if (w == "b") c.bold = on;
        else if (w == "i") c.italic = on;
        else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash"
                 || w == "uldashd" || w == "uldashdd" || w == "ulwave" || w == "ulhwave"
                 || w == "ululdbwave" || w == "ulthd" || w == "ulthdash" || w == "ulldash"
                 || w == "ulthldash" || w == "ulthdashd" || w == "ulthdashdd")
            c.underline = on;
        else if (w == "ulnone") c.underline = false;
        else if (w == "strike" || w == "striked") c.strike = on;
        else if (w == "cf") {
            if (hasParam && v > 0 && v < int(colors_.size()))
                c.color = colors_[size_t(v)];
            else
                c.color.reset();
        }
        else if (w == "up") c.offset = halfPoints(hasParam ? v : 6);
        else if (w == "dn") c.offset = halfPoints(-(hasParam ? qint64(v) : 6));
        else if (w == "super") c.offset = on ? int(std::lround(c.size * 20 / 3)) : 0;
        else if (w == "sub") c.offset = on ? -int(std::lround(c.size * 20 / 3)) : 0;
        else if (w == "nosupersub") c.offset = 0;
        // Paragraphs (a list's number text may carry its own \pard: not ours).
        else if (st_.dest != Dest::Text) return;
        else if (w == "pard") {
            para_ = ParaFormat{};
            paraBullet_ = false;
            paraNumbered_ = false;
            paraList_ = false;
        }
        else if (w == "ql") para_.align = AlignLeft;
        else if (w == "qr") para_.align = AlignRight;
        else if (w == "qc") para_.align = AlignCenter;
        else if (w == "qj") para_.align = AlignJustify;
        else if (w == "li") para_.left = std::clamp(v, -kMaxIndent, kMaxIndent);
        else if (w == "ri") para_.right = std::clamp(v, -kMaxIndent, kMaxIndent);
        else if (w == "fi") para_.firstLine = std::clamp(v, -kMaxIndent, kMaxIndent);
        else if ((w == "tx" || w == "tb") && hasParam) {
            if (int(para_.tabs.size()) < kMaxTabs)
                para_.tabs.push_back(std::clamp(v, 0, kMaxIndent));
            else
                ++result_.skipped.pastCaps;
        }
        else if (w == "ls") paraList_ = true;
    }

    static int halfPoints(qint64 v) { return int(std::clamp<qint64>(v * 10, -kMaxIndent, kMaxIndent)); }

    // --- text ----------------------------------------------------------------
    void consumeSkip()
    {
        if (ucSkip_ > 0)
            --ucSkip_;
    }

    void textByte(unsigned char b, bool escaped = false)
    {
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        if (st_.dest == Dest::Picture) {
            if (!escaped)
                pictureHexDigit(char(b));
            return;
        }
        if (st_.dest == Dest::ColorTable) {
            if (b == ';') {
                if (int(colors_.size()) < kMaxColors)
                    colors_.push_back(colorSet_ ? std::optional<QRgb>(color_) : std::nullopt);
                else
                    ++result_.skipped.pastCaps;
                color_ = qRgb(0, 0, 0);
                colorSet_ = false;
            }
            return;
        }
        if (b >= 0x80 || (escaped && b < 0x20)) {
            bytes_.append(char(b));
            bytesCp_ = currentCodePage();
            return;
        }
        if (b < 0x20 && b != '\t')
            return; // raw control characters in RTF source are noise
        textChar(QChar(b), false);
    }

    // A pair of surrogates comes as two \u words; one alone is no character
    // and would make the document unwritable as UTF-16, so it reads as U+FFFD.
    void unicodeChar(char16_t code)
    {
        if (QChar::isLowSurrogate(code) && pendingHigh_) {
            const QChar pair[2] = {QChar(pendingHigh_), QChar(code)};
            pendingHigh_ = 0;
            appendText(QString(pair, 2));
            return;
        }
        resolveSurrogate();
        if (QChar::isHighSurrogate(code))
            pendingHigh_ = code;
        else
            textChar(QChar::isLowSurrogate(code) ? QChar(QChar::ReplacementCharacter) : QChar(code), false);
    }

    void resolveSurrogate()
    {
        if (!pendingHigh_)
            return;
        pendingHigh_ = 0;
        appendText(QString(QChar(QChar::ReplacementCharacter)));
    }

    void textChar(QChar ch, bool countsForSkip = true)
    {
        if (countsForSkip && ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        flushBytes();
        appendText(QString(ch));
    }

    void flushBytes()
    {
        if (bytes_.isEmpty())
            return;
        const QByteArray b = bytes_;
        bytes_.clear();
        appendText(decodeBytes(b, bytesCp_));
    }

    int currentCodePage() const
    {
        const int num = st_.fontNum >= 0 ? st_.fontNum : deff_;
        auto it = fonts_.find(num);
        return codePageOfCharset(it == fonts_.end() ? 0 : it->charset, ansiCp_);
    }

    void appendText(const QString &s)
    {
        if (s.isEmpty())
            return;
        resolveSurrogate();
        switch (st_.dest) {
        case Dest::Text: {
            const CharFormat f = currentFormat();
            if (!cur_.runs.empty() && cur_.runs.back().picture.isNull() && cur_.runs.back().format == f)
                cur_.runs.back().text += s;
            else
                cur_.runs.push_back(Run{f, s, {}, 0, 0});
            break;
        }
        case Dest::FontTable:
            if (inFont_)
                fontName_ = (fontName_ + s).left(256);
            if (s.contains(QChar(';')))
                commitFont();
            break;
        case Dest::ListText:
            listText_ = (listText_ + s).left(256);
            break;
        default:
            break;
        }
    }

    CharFormat currentFormat() const
    {
        CharFormat f = st_.chr;
        const int num = st_.fontNum >= 0 ? st_.fontNum : deff_;
        auto it = fonts_.find(num);
        if (it != fonts_.end())
            f.font = it->name;
        else if ((it = fonts_.find(deff_)) != fonts_.end())
            f.font = it->name;
        return f;
    }

    void endParagraph()
    {
        flushBytes();
        resolveSurrogate();
        Paragraph p = std::move(cur_);
        cur_ = Paragraph{};
        p.format = para_;
        p.format.bullet = paraBullet_ || (paraList_ && hasListText_ && isBulletText(listText_));
        if (!p.format.bullet && hasListText_ && !listText_.isEmpty()) {
            // A numbered list: keep its number as text rather than lose it.
            const CharFormat f = p.runs.empty() ? currentFormat() : p.runs.front().format;
            p.runs.insert(p.runs.begin(), Run{f, listText_, {}, 0, 0});
        }
        p.endFormat = currentFormat();
        listText_.clear();
        hasListText_ = false;
        result_.document.paragraphs.push_back(std::move(p));
    }

    // --- pictures ---------------------------------------------------------------
    struct Picture {
        PicKind kind = PicKind::None;
        QByteArray data;
        int nibble = -1;
        bool tooBig = false;
        int w = 0, h = 0, goalW = 0, goalH = 0, scaleX = 100, scaleY = 100;
    };

    void pictureHexDigit(char c)
    {
        const int v = hexValue(c);
        if (v < 0 || pic_.tooBig)
            return;
        if (pic_.nibble < 0) {
            pic_.nibble = v;
            return;
        }
        appendPictureBytes(QByteArray(1, char(pic_.nibble * 16 + v)));
        pic_.nibble = -1;
    }

    void appendPictureBytes(const QByteArray &b)
    {
        if (pic_.tooBig)
            return;
        if (pic_.data.size() + b.size() > kMaxPictureBytes) {
            pic_.tooBig = true;
            pic_.data.clear();
            return;
        }
        pic_.data.append(b);
    }

    void finishPicture()
    {
        Picture p = std::move(pic_);
        pic_ = Picture{};
        const Dest outer = stack_.empty() ? Dest::Text : stack_.back().dest;
        if (outer != Dest::Text)
            return;
        if (p.tooBig) {
            ++result_.skipped.picturesOverBudget;
            return;
        }
        if (p.data.isEmpty())
            return;
        pictureBytes_ += p.data.size();
        const qint64 allowed = kPictureBudgetBasePixels + kPicturePixelsPerByte * pictureBytes_ - picturePixels_;
        PicFailure failure = PicFailure::None;
        QImage img = p.kind == PicKind::Unsupported || p.kind == PicKind::None
            ? QImage()
            : decodePicture(p.kind, p.data, std::min(kMaxPicturePixels, allowed), failure);
        if (img.isNull()) {
            if (failure == PicFailure::OverBudget)
                ++result_.skipped.picturesOverBudget;
            else
                ++result_.skipped.unreadablePictures;
            return;
        }
        picturePixels_ += qint64(img.width()) * img.height();
        // One pixel format for everything read, so that every picture can be
        // written again (as PNG).
        img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        // Only the pixels: no resolution or text chunks ride along.
        img = QImage(img.constBits(), img.width(), img.height(), img.bytesPerLine(), img.format()).copy();
        if (img.isNull()) {
            ++result_.skipped.unreadablePictures;
            return;
        }
        auto size = [](int goal, int raw, int pixels, int scale) {
            double twips = goal > 0 ? goal : raw > 0 ? raw * kTwipsPerPixel : pixels * kTwipsPerPixel;
            if (scale > 0 && scale != 100)
                twips = twips * std::min(scale, 10000) / 100.0;
            return int(std::clamp<double>(std::round(twips), 1, kMaxIndent));
        };
        Run r;
        r.format = currentFormat();
        r.picture = img;
        r.picWidth = size(p.goalW, p.w, img.width(), p.scaleX);
        r.picHeight = size(p.goalH, p.h, img.height(), p.scaleY);
        cur_.runs.push_back(std::move(r));
    }

    static bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexValue(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    static bool isProgramThread()
    {
        const QCoreApplication *app = QCoreApplication::instance();
        return app && QThread::currentThread() == app->thread();
    }

    static constexpr unsigned kCancelLookMask = 0xFFF;
    const QByteArray &in_;
    const std::atomic<bool> *cancel_ = nullptr;
    const bool onProgramThread_;
    unsigned steps_ = 0;
    qsizetype pos_ = 0;
    bool started_ = false;
    bool done_ = false;
    int overflow_ = 0;
    bool asterisk_ = false;
    int ucSkip_ = 0;
    std::vector<GroupState> stack_;
    GroupState st_;
    ReadResult result_;
    Paragraph cur_;
    ParaFormat para_;
    bool paraBullet_ = false;
    bool paraNumbered_ = false;
    bool paraList_ = false;
    QString listText_;
    bool hasListText_ = false;
    QHash<int, FontEntry> fonts_;
    int deff_ = 0;
    int ansiCp_ = 1252;
    bool inFont_ = false;
    int fontNum_ = 0;
    int fontCharset_ = 0;
    QString fontName_;
    std::vector<std::optional<QRgb>> colors_;
    QRgb color_ = qRgb(0, 0, 0);
    bool colorSet_ = false;
    QByteArray bytes_;
    int bytesCp_ = 1252;
    Picture pic_;
    qint64 pictureBytes_ = 0;   // picture data met so far in the document's text
    qint64 picturePixels_ = 0;  // pixels of the pictures kept
    char16_t pendingHigh_ = 0;  // a high surrogate waiting for its low half
};

} // namespace

QStringList Skipped::describe() const
{
    QStringList lines;
    auto count = [](int n, const char *one, const char *many) {
        return n == 1 ? QString::fromLatin1(one) : QString::number(n) + QLatin1Char(' ') + QLatin1String(many);
    };
    if (truncated)
        lines << QStringLiteral("The file ends early: it may have been cut short, and its end is missing.");
    if (binPastEnd)
        lines << QStringLiteral("A block of binary data claimed to run past the end of the file; what follows it was read as text.");
    if (deepGroups)
        lines << count(deepGroups, "A part nested too deeply was left out.", "parts nested too deeply were left out.");
    if (unreadablePictures)
        lines << count(unreadablePictures, "A picture could not be read and is not shown.",
                       "pictures could not be read and are not shown.");
    if (picturesOverBudget)
        lines << count(picturesOverBudget, "A picture is larger than the file can hold and is not shown.",
                       "pictures are larger than the file can hold and are not shown.");
    if (pastCaps)
        lines << count(pastCaps, "A font, colour or tab stop past what a document may hold was left out.",
                       "fonts, colours or tab stops past what a document may hold were left out.");
    return lines;
}

ReadResult readRtf(const QByteArray &data, const std::atomic<bool> *cancel)
{
    return Reader(data, cancel).run();
}

} // namespace vt::rtf
