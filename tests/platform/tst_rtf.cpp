// The RTF reader and writer on their own: write-then-read round trips of
// every feature, and hostile or broken input.
#include <QBuffer>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <ctime>

#include "platform/rtfreader.h"
#include "platform/rtfwriter.h"

using namespace vt::rtf;

namespace {

CharFormat fmt(const QString &font, double size, bool b = false, bool i = false, bool u = false,
               bool s = false, std::optional<QRgb> color = {}, int offset = 0)
{
    return CharFormat{font, size, b, i, u, s, color, offset};
}

Run text(const CharFormat &f, const QString &t) { return Run{f, t, {}, 0, 0}; }

QImage testImage()
{
    QImage img(4, 3, QImage::Format_ARGB32);
    img.fill(qRgb(0, 128, 255));
    img.setPixel(1, 1, qRgb(255, 0, 0));
    return img;
}

QByteArray pngHex(const QImage &img)
{
    QByteArray png;
    QBuffer io(&png);
    io.open(QIODevice::WriteOnly);
    img.save(&io, "PNG");
    return png.toHex();
}

QByteArray jpeg(const QImage &img)
{
    QByteArray out;
    QBuffer io(&out);
    io.open(QIODevice::WriteOnly);
    img.save(&io, "JPEG");
    return out;
}

// A small real JPEG whose frame header is made to claim `w` x `h` pixels: the
// decoder would make the whole frame from the one block of data it finds.
QByteArray lyingJpeg(int w, int h)
{
    QImage small(8, 8, QImage::Format_Grayscale8);
    small.fill(128);
    QByteArray j = jpeg(small);
    const qsizetype sof = j.indexOf("\xFF\xC0");
    if (sof < 0)
        return {};
    j[sof + 5] = char(h >> 8);
    j[sof + 6] = char(h & 0xFF);
    j[sof + 7] = char(w >> 8);
    j[sof + 8] = char(w & 0xFF);
    return j;
}

long peakResidentKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// What a read skipped, as one short line for comparing.
QString summary(const Skipped &s)
{
    QStringList parts;
    if (s.truncated)
        parts << "truncated";
    if (s.binPastEnd)
        parts << "bin";
    if (s.deepGroups)
        parts << "deep=" + QString::number(s.deepGroups);
    if (s.unreadablePictures)
        parts << "unreadable=" + QString::number(s.unreadablePictures);
    if (s.picturesOverBudget)
        parts << "budget=" + QString::number(s.picturesOverBudget);
    if (s.pastCaps)
        parts << "caps";
    return parts.join(',');
}

// Large inputs of the kinds that make a careless reader crawl, `n` items each.
enum class Huge { Nesting, ControlWord, FontTable, ColourTable, TabStops };

QByteArray hugeInput(Huge kind, int n)
{
    switch (kind) {
    case Huge::Nesting:
        return "{\\rtf1 a" + QByteArray(n, '{') + "x" + QByteArray(n, '}') + "b}";
    case Huge::ControlWord:
        return "{\\rtf1 a\\" + QByteArray(n, 'x') + " b}";
    case Huge::FontTable: {
        QByteArray fonts = "{\\rtf1{\\fonttbl";
        for (int i = 0; i < n; ++i)
            fonts += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
        return fonts + "}\\f" + QByteArray::number(n - 1) + " z}";
    }
    case Huge::ColourTable:
        return "{\\rtf1{\\colortbl;" + QByteArray(n * 4, ';') + "}\\cf" + QByteArray::number(n - 1) + " c}";
    case Huge::TabStops: {
        QByteArray tabs = "{\\rtf1\\pard";
        for (int i = 0; i < n; ++i)
            tabs += "\\tx" + QByteArray::number(i);
        return tabs + " t\\par}";
    }
    }
    return {};
}

// Processor time this thread has used, in seconds: unlike the wall clock it
// does not grow while other work holds the processors.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

Q_DECLARE_METATYPE(Huge)

class TestRtf : public QObject {
    Q_OBJECT
private slots:
    // First, while the process's peak memory is still low.
    void picturesShareOneBudget()
    {
        // Thirty pictures of a few hundred bytes each, each claiming 4000 x 4000
        // pixels, between shot lines: 1.9 GB of pixels if each were decoded.
        const QByteArray liar = lyingJpeg(4000, 4000).toHex();
        QVERIFY(!liar.isEmpty());
        QByteArray bomb = "{\\rtf1 ";
        for (int i = 0; i < 30; ++i)
            bomb += "{\\pict\\jpegblip " + liar + "}CAP: " + QByteArray::number(800 + i) + "\\par ";
        bomb += "}";
        // An honest picture of the same size, all of its blocks present.
        QImage big(2000, 2000, QImage::Format_Grayscale8);
        big.fill(90);
        const QByteArray honest = "{\\rtf1 {\\pict\\jpegblip " + jpeg(big).toHex() + "}}";

        QCOMPARE(readRtf("{\\rtf1 {\\pict\\jpegblip " + lyingJpeg(8, 8).toHex() + "}}").skipped.any(),
                 false); // the decoder is loaded before anything is measured
        const long before = peakResidentKb();
        double t0 = threadSeconds();
        const ReadResult r = readRtf(bomb);
        const double bombS = threadSeconds() - t0;
        const long growthKb = peakResidentKb() - before;
        t0 = threadSeconds();
        const ReadResult h = readRtf(honest);
        const double honestS = threadSeconds() - t0;

        QCOMPARE(r.skipped.picturesOverBudget, 30);
        QCOMPARE(r.document.paragraphs.size(), size_t(30));
        QCOMPARE(r.document.paragraphs[29].runs.size(), size_t(1));
        QCOMPARE(r.document.paragraphs[29].runs[0].text, QString("CAP: 829"));
        // One picture kept would already be 64 MB.
        QVERIFY2(growthKb < 32 * 1024, qPrintable(QString("peak grew by %1 KB").arg(growthKb)));
        QVERIFY2(bombS < honestS,
                 qPrintable(QString("30 claimed pictures %1 s, one real %2 s").arg(bombS).arg(honestS)));
        QVERIFY(h.complete);
        QCOMPARE(h.document.paragraphs.at(0).runs.at(0).picture.size(), QSize(2000, 2000));
    }

    void roundTripEveryFeature()
    {
        const CharFormat base = fmt("Tahoma", 9);
        Document doc;
        Paragraph p0;
        p0.format = ParaFormat{AlignCenter, false, 720, 360, -360, {1440, 2880}};
        p0.endFormat = base;
        p0.runs = {text(base, "plain\tafter tab"),
                   text(fmt("Arial", 14, true, true, true, true, qRgb(255, 0, 0)), "all on"),
                   text(fmt("Tahoma", 9, false, false, false, false, {}, 60), "sup"),
                   text(fmt("Tahoma", 9, false, false, false, false, {}, -60), "sub"),
                   text(fmt("Times New Roman", 10.5, false, false, false, false, qRgb(0, 0, 255)),
                        QString::fromUtf8("a\u2028b {x} \\ é€ Ω \x01 \u00a0end"))};
        Paragraph p1; // an empty bulleted paragraph keeps the look of its mark
        p1.format.bullet = true;
        p1.format.left = 720;
        p1.endFormat = fmt("Courier New", 11, true);
        Paragraph p2;
        p2.format.bullet = true;
        p2.endFormat = base;
        Run pic;
        pic.format = base;
        pic.picture = testImage();
        pic.picWidth = 60;
        pic.picHeight = 45;
        p2.runs = {text(base, "pic: "), pic};
        Paragraph p3;
        p3.format.align = AlignRight;
        p3.endFormat = base;
        p3.runs = {text(base, "right")};
        Paragraph p4;
        p4.format.align = AlignJustify;
        p4.endFormat = base;
        doc.paragraphs = {p0, p1, p2, p3, p4};

        const QByteArray rtf = writeRtf(doc);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
        const ReadResult back = readRtf(rtf);
        QVERIFY(back.complete);
        QCOMPARE(back.document.paragraphs.size(), doc.paragraphs.size());
        for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
            const Paragraph &want = doc.paragraphs[i];
            const Paragraph &got = back.document.paragraphs[i];
            QVERIFY2(got.format == want.format, qPrintable(QString("paragraph %1").arg(i)));
            QVERIFY2(got.endFormat == want.endFormat, qPrintable(QString("mark %1").arg(i)));
            QCOMPARE(got.runs.size(), want.runs.size());
            for (size_t r = 0; r < want.runs.size(); ++r) {
                QCOMPARE(got.runs[r].text, want.runs[r].text);
                QVERIFY2(got.runs[r].format == want.runs[r].format, qPrintable(want.runs[r].text));
                QCOMPARE(got.runs[r].picture.isNull(), want.runs[r].picture.isNull());
                if (!want.runs[r].picture.isNull()) {
                    QCOMPARE(got.runs[r].picture.convertToFormat(QImage::Format_ARGB32),
                             want.runs[r].picture);
                    QCOMPARE(got.runs[r].picWidth, 60);
                    QCOMPARE(got.runs[r].picHeight, 45);
                }
            }
        }
        // Writing what was read gives the same bytes: nothing drifts.
        QCOMPARE(writeRtf(back.document), rtf);
    }

    void offsetTravelsInHalfPoints()
    {
        // RTF has no finer unit: 55 twips go out as 6 half points.
        Document doc;
        Paragraph p;
        p.runs = {text(fmt("Tahoma", 9, false, false, false, false, {}, -55), "x")};
        doc.paragraphs = {p};
        const ReadResult back = readRtf(writeRtf(doc));
        QCOMPARE(back.document.paragraphs.at(0).runs.at(0).format.offset, -60);
    }

    void emptyDocument()
    {
        const ReadResult r = readRtf(writeRtf(Document{}));
        QVERIFY(r.complete);
        QVERIFY(r.document.paragraphs.empty());
        QVERIFY(!looksLikeRtf("plain text"));
        QVERIFY(looksLikeRtf("\xEF\xBB\xBF \r\n{\\rtf1}"));
    }

    void readingDetails_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("trailing par adds no paragraph") << QByteArray("{\\rtf1 a\\par}") << "a";
        QTest::newRow("empty last paragraph") << QByteArray("{\\rtf1 a\\par\\par}") << "a\r\n";
        QTest::newRow("line and tab") << QByteArray("{\\rtf1 a\\line b\\tab c}") << QString("a\u2028b\tc");
        QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{\\}\\\\\\~x}") << QString("{}\\\u00a0x");
        QTest::newRow("uc0 surrogate pair") << QByteArray("{\\rtf1\\uc0\\u-10179\\u-8704 !}")
                                           << QString::fromUtf8("\U0001F600!");
        QTest::newRow("uc skips fallback") << QByteArray("{\\rtf1\\uc3\\u8364 EURx}") << QString("\u20acx");
        QTest::newRow("code page 1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}")
                                       << QString::fromUtf8("Пр");
        QTest::newRow("font charset over ansicpg")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset161 G;}}\\f1\\'e1\\f0\\'e1}")
            << QString::fromUtf8("αá");
        QTest::newRow("cp1252 high bytes") << QByteArray("{\\rtf1\\ansi \\'80\\'93q\\'94}")
                                          << QString::fromUtf8("€“q”");
        QTest::newRow("unknown starred group") << QByteArray("{\\rtf1 a{\\*\\whatever b{c}}d}") << "ad";
        QTest::newRow("unknown word kept going") << QByteArray("{\\rtf1 a\\frobnicate12 b}") << "ab";
        QTest::newRow("numbered list keeps its number")
            << QByteArray("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}x\\par}") << "1.\tx";
        QTest::newRow("table cells") << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c}")
                                     << "a\tb\t\r\nc";
        QTest::newRow("newline in source is not text") << QByteArray("{\\rtf1 a\r\nb}") << "ab";
        QTest::newRow("control chars as hex") << QByteArray("{\\rtf1 a\\'01\\'0d\\'0ab}") << QString("a\x01" "b");
        // Half a surrogate pair is no character: it reads as the replacement character.
        QTest::newRow("uc1 surrogate pair with fallbacks") << QByteArray("{\\rtf1\\uc1\\u-10179?\\u-8704?!}")
                                                          << QString::fromUtf8("\U0001F600!");
        QTest::newRow("lone high surrogate") << QByteArray("{\\rtf1\\uc0\\u-10179 a}") << QString("\uFFFDa");
        QTest::newRow("lone low surrogate") << QByteArray("{\\rtf1\\uc0\\u-8704 a}") << QString("\uFFFDa");
        QTest::newRow("high surrogate before a paragraph end")
            << QByteArray("{\\rtf1\\uc0\\u-10179\\par\\u-8704 }") << QString("\uFFFD\r\n\uFFFD");
        QTest::newRow("two highs then a low") << QByteArray("{\\rtf1\\uc0\\u-10179\\u-10179\\u-8704 }")
                                              << QString::fromUtf8("\uFFFD\U0001F600");
        QTest::newRow("high surrogate closing a group")
            << QByteArray("{\\rtf1\\uc0{\\u-10179}\\u-8704 }") << QString("\uFFFD\uFFFD");
        QTest::newRow("negative uc counts as none") << QByteArray("{\\rtf1\\uc-5\\u8364 x}") << QString("\u20acx");
        QTest::newRow("huge uc is clamped") << QByteArray("{\\rtf1\\uc99999\\u8364 abcdefghijklmnopqrstu}")
                                            << QString("\u20acqrstu");
    }

    void readingDetails()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readRtf(rtf).document.plainText(), text);
    }

    void picturesOfEveryKind()
    {
        const QImage img = testImage();
        // A device-independent bitmap: the BMP file without its 14-byte header.
        QByteArray bmp;
        QBuffer io(&bmp);
        io.open(QIODevice::WriteOnly);
        img.convertToFormat(QImage::Format_RGB32).save(&io, "BMP");
        const QByteArray dib = bmp.mid(14).toHex();
        QByteArray jpg;
        QBuffer jio(&jpg);
        jio.open(QIODevice::WriteOnly);
        QImage(16, 8, QImage::Format_RGB32).save(&jio, "JPEG");

        const QByteArray rtf = "{\\rtf1 {\\pict\\pngblip\\picw4\\pich3 " + pngHex(img) + "}"
                             + "{\\pict\\dibitmap0\\picw4\\pich3\\picwgoal600\\pichgoal450 " + dib + "}"
                             + "{\\pict\\jpegblip " + jpg.toHex() + "}"
                             + "{\\pict\\wmetafile8 0100}"   // no renderer: dropped
                             + "{\\pict\\pngblip 00ff}}";     // not a PNG: dropped
        const ReadResult r = readRtf(rtf);
        QCOMPARE(r.document.paragraphs.size(), size_t(1));
        const auto &runs = r.document.paragraphs[0].runs;
        QCOMPARE(runs.size(), size_t(3));
        QCOMPARE(runs[0].picture.size(), QSize(4, 3));
        QCOMPARE(runs[0].picWidth, 60);            // pixels at 15 twips
        QCOMPARE(runs[1].picture.pixel(1, 1), qRgb(255, 0, 0));
        QCOMPARE(runs[1].picture.pixel(0, 0), qRgb(0, 128, 255));
        QCOMPARE(runs[1].picHeight, 450);
        QCOMPARE(runs[2].picture.size(), QSize(16, 8));
        QCOMPARE(summary(r.skipped), QString("unreadable=2"));
    }

    void malformedInput_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("skipped");
        // A valid PNG header that claims 100000 x 100000 pixels.
        const QByteArray bigPng = "89504e470d0a1a0a0000000d49484452000186a0000186a0080200000027309c9f000000"
                                  "0b49444154789c6360c00700001e0001f6fde9960000000049454e44ae426082";

        QTest::newRow("truncated") << QByteArray("{\\rtf1\\ansi abc\\b de") << "abcde" << "truncated";
        QTest::newRow("truncated in control word") << QByteArray("{\\rtf1 abc\\") << "abc" << "truncated";
        QTest::newRow("truncated hex escape") << QByteArray("{\\rtf1 abc\\'4") << "abc" << "truncated";
        QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb" << "";
        QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}b") << "a" << "";
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{{{ a") << " a" << "truncated";
        QTest::newRow("very deep nesting") << hugeInput(Huge::Nesting, 200000) << "ab" << "deep=1";
        QTest::newRow("absurd numbers")
            << QByteArray("{\\rtf1\\fs99999999999999999999\\li-99999999999\\fi99999999999\\u99999999"
                          "\\uc99999999 x\\up999999999 y}")
            << "xy" << "";
        // A count past the end hides nothing: what follows is read as RTF.
        QTest::newRow("bin past the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << "axyz" << "truncated,bin";
        QTest::newRow("bin past the end before shot lines")
            << QByteArray("{\\rtf1 a\\bin1000000000 \\par CAP: 812\\par CAP: 815\\par}")
            << "a\r\nCAP: 812\r\nCAP: 815" << "bin";
        QTest::newRow("bin within the file") << QByteArray("{\\rtf1 a\\bin3 }{}b}") << "ab" << "";
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab" << "";
        QTest::newRow("endless control word")
            << hugeInput(Huge::ControlWord, 100000) << "ab" << "";
        QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b\\u0 c}", 17) << "ab" << "";
        QTest::newRow("huge font table") << hugeInput(Huge::FontTable, 100000) << "z" << "caps";
        QTest::newRow("huge colour table") << hugeInput(Huge::ColourTable, 100000) << "c" << "caps";
        QTest::newRow("too many tab stops") << hugeInput(Huge::TabStops, 5000) << "t" << "caps";
        QTest::newRow("picture claiming 10 gigapixels")
            << "{\\rtf1 p{\\pict\\pngblip " + bigPng + "}q}" << "pq" << "budget=1";
        QTest::newRow("odd picture hex") << QByteArray("{\\rtf1 p{\\pict\\pngblip 0}q}") << "pq" << "";
        QTest::newRow("dib with lying header")
            << QByteArray("{\\rtf1 p{\\pict\\dibitmap0 28000000ffffff7fffffff7f01002000}q}") << "pq" << "unreadable=1";
        QTest::newRow("picture of unknown kind") << QByteArray("{\\rtf1 p{\\pict 89504e47}q}") << "pq" << "unreadable=1";
        QTest::newRow("not rtf at all") << QByteArray("hello {\\rtf1 x}") << "" << "";
    }

    void malformedInput()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(QString, skipped);
        const ReadResult r = readRtf(rtf);
        QCOMPARE(r.document.plainText(), text);
        QCOMPARE(summary(r.skipped), skipped);
        QCOMPARE(r.complete, skipped.isEmpty());
        QCOMPARE(r.skipped.describe().isEmpty(), skipped.isEmpty());
    }

    // The reader's work on huge inputs grows in proportion to them: a tenth
    // of the input, read in the same run, is the reference, so a busy or
    // instrumented machine slows both alike. Linear work takes about ten
    // times as long for the whole; a reader that walks what it has already
    // read for every item takes about a hundred.
    void hugeInputReadInLinearTime_data()
    {
        QTest::addColumn<Huge>("kind");
        QTest::addColumn<int>("n");
        QTest::newRow("very deep nesting") << Huge::Nesting << 200000;
        QTest::newRow("endless control word") << Huge::ControlWord << 100000;
        QTest::newRow("huge font table") << Huge::FontTable << 100000;
        QTest::newRow("huge colour table") << Huge::ColourTable << 100000;
        QTest::newRow("too many tab stops") << Huge::TabStops << 50000;
    }
    void hugeInputReadInLinearTime()
    {
        QFETCH(Huge, kind);
        QFETCH(int, n);
        const QByteArray whole = hugeInput(kind, n), tenth = hugeInput(kind, n / 10);
        // The best of a few readings of the small input, so that one met by a
        // cold cache or an interruption does not loosen the bound.
        double small = 1e9;
        for (int i = 0; i < 3; ++i) {
            const double t0 = threadSeconds();
            const ReadResult r = readRtf(tenth);
            small = std::min(small, threadSeconds() - t0);
            QVERIFY(!r.document.plainText().isEmpty());
        }
        const double t0 = threadSeconds();
        const ReadResult r = readRtf(whole);
        const double large = threadSeconds() - t0;
        QVERIFY(!r.document.plainText().isEmpty());
        // A floor of a millisecond keeps a reading too short to measure from
        // setting the bound.
        QVERIFY2(large <= 30 * std::max(small, 0.001),
                 qPrintable(QStringLiteral("%1 s for the whole input, %2 s for a tenth").arg(large).arg(small)));
    }

    // A read given up by its caller stops where it is: with the flag set the
    // read ends far short of the end, answers what it had and says it
    // was cancelled; with the flag clear the same text reads whole.
    void cancelledReadStops()
    {
        constexpr int kLines = 200000;
        QByteArray body = "{\\rtf1 ";
        for (int i = 0; i < kLines; ++i)
            body += "CAP: " + QByteArray::number(i) + "\\par\n";
        body += "}";
        std::atomic<bool> cancel{true};
        const ReadResult stopped = readRtf(body, &cancel);
        QVERIFY(stopped.cancelled);
        QVERIFY(!stopped.complete);
        QVERIFY(stopped.document.paragraphs.size() < size_t(kLines / 100));
        cancel = false;
        const ReadResult whole = readRtf(body, &cancel);
        QVERIFY(!whole.cancelled);
        QVERIFY(whole.complete);
        QCOMPARE(whole.document.paragraphs.size(), size_t(kLines));
    }

    void capsHoldValues()
    {
        const ReadResult r = readRtf("{\\rtf1\\fs99999\\li-99999999\\ri99999999\\up99999 x}");
        const Paragraph &p = r.document.paragraphs.at(0);
        QCOMPARE(p.runs.at(0).format.size, kMaxFontSize);
        QCOMPARE(p.format.left, -kMaxIndent);
        QCOMPARE(p.format.right, kMaxIndent);
        QCOMPARE(p.runs.at(0).format.offset, kMaxIndent);
    }
};

QTEST_GUILESS_MAIN(TestRtf)
#include "tst_rtf.moc"
