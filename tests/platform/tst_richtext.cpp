// The rich-text box: positions with CR LF counted as two, the selection
// formats with "no value" for mixed selections, Find, files, edit commands,
// events, display lines and page formatting.
#include "vt_paths.h"
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTest>

#include <algorithm>

#include "common/errorof.h"
#include "platform/errors.h"
#include "platform/longwork.h"
#include "platform/richtext.h"
#include "platform/richtext_parts.h"

using vt::RichTextBox;
using vt::test::errorOf;

namespace {

QString fixture(const QString &name) { return QStringLiteral(VT_FIXTURES_DIR "/rtf/") + name; }

template <typename T> QString show(const std::optional<T> &v)
{
    if (!v)
        return QStringLiteral("null");
    if constexpr (std::is_same_v<T, bool>)
        return *v ? QStringLiteral("true") : QStringLiteral("false");
    else if constexpr (std::is_same_v<T, QString>)
        return *v;
    else if constexpr (std::is_same_v<T, QColor>)
        return v->name();
    else
        return QString::number(*v);
}

// One selection property of the box, as text ("null" for no value).
QString prop(const RichTextBox &box, const QString &name)
{
    if (name == "bold") return show(box.SelBold());
    if (name == "italic") return show(box.SelItalic());
    if (name == "underline") return show(box.SelUnderline());
    if (name == "strike") return show(box.SelStrikeThru());
    if (name == "font") return show(box.SelFontName());
    if (name == "size") return show(box.SelFontSize());
    if (name == "color") return show(box.SelColor());
    if (name == "offset") return show(box.SelCharOffset());
    if (name == "align") return show(box.SelAlignment());
    if (name == "bullet") return show(box.SelBullet());
    if (name == "indent") return show(box.SelIndent());
    if (name == "right") return show(box.SelRightIndent());
    if (name == "hanging") return show(box.SelHangingIndent());
    if (name == "tabs") {
        const auto n = box.SelTabCount();
        if (!n)
            return QStringLiteral("null");
        QStringList out;
        for (int i = 0; i < *n; ++i)
            out << show(box.SelTabs(i));
        return out.join(',');
    }
    return QStringLiteral("?") + name;
}

// Selects `needle` (the part in brackets, when it has brackets) by Find.
bool selectNeedle(RichTextBox &box, const QString &needle)
{
    QString plain = needle;
    plain.remove('[').remove(']');
    const int at = box.Find(plain, 0);
    if (at < 0)
        return false;
    const int open = int(needle.indexOf('['));
    if (open >= 0) {
        box.SetSelStart(at + open);
        box.SetSelLength(int(needle.indexOf(']')) - open - 1);
    }
    return true;
}

} // namespace

class TestRichText : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        box = std::make_unique<RichTextBox>();
        box->setFont(QFont(QStringLiteral("Tahoma"), 9));
        box->document()->setDefaultFont(box->font());
        box->resize(400, 300);
    }
    void cleanup() { box.reset(); }

    void positionsCountCrLfAsTwo()
    {
        box->SetText("one\r\ntwo\nthree");
        QCOMPARE(box->Text(), QString("one\r\ntwo\r\nthree"));
        QCOMPARE(box->TextLength(), 15);
        box->SetSelStart(5);
        box->SetSelLength(3);
        QCOMPARE(box->SelText(), QString("two"));
        QCOMPARE(box->SelStart(), 5);
        // A selection across a break holds both characters of it.
        box->SetSelStart(3);
        box->SetSelLength(2);
        QCOMPARE(box->SelText(), QString("\r\n"));
        // Between CR and LF the caret sits before the break.
        box->SetSelStart(4);
        QCOMPARE(box->SelStart(), 3);
        // Appending at the end lands after the last character.
        box->SetSelStart(box->TextLength());
        box->SetSelText("\r\nfour");
        QCOMPARE(box->Text(), QString("one\r\ntwo\r\nthree\r\nfour"));
        QCOMPARE(box->SelStart(), box->TextLength());
        QCOMPARE(box->SelLength(), 0);
        box->SetSelStart(999);
        QCOMPARE(box->SelStart(), box->TextLength());
        QCOMPARE(errorOf([&] { box->SetSelStart(-1); }), 380);
        QCOMPARE(errorOf([&] { box->SetSelLength(-1); }), 380);
        // Replacing a selection that spans a break joins the paragraphs.
        box->SetSelStart(2);
        box->SetSelLength(4);
        box->SetSelText("E-T");
        QCOMPARE(box->Text(), QString("onE-Two\r\nthree\r\nfour"));
        // Lone CR and a line break inside a paragraph.
        box->SetText("a\rb\vc");
        QCOMPARE(box->Text(), QString("a\r\nb\vc"));
        QCOMPARE(box->document()->blockCount(), 2);
    }

    void find_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("found");
        // Text: "Alpha alphabet\r\nALPHA beta"
        QTest::newRow("first, any case") << "alpha" << 0 << -1 << 0 << 0;
        QTest::newRow("from 1") << "alpha" << 1 << -1 << 0 << 6;
        QTest::newRow("whole word skips alphabet") << "alpha" << 1 << -1 << 2 << 16;
        QTest::newRow("match case") << "ALPHA" << 0 << -1 << 4 << 16;
        QTest::newRow("match case and whole word") << "alphabet" << 0 << -1 << 6 << 6;
        QTest::newRow("hit must end before end") << "ALPHA" << 7 << 20 << 0 << -1;
        QTest::newRow("end reached exactly") << "ALPHA" << 7 << 21 << 0 << 16;
        QTest::newRow("start after end") << "beta" << 20 << 10 << 0 << -1;
        QTest::newRow("across the break") << "bet\r\nALP" << 0 << -1 << 0 << 11;
        QTest::newRow("empty text") << "" << 0 << -1 << 0 << -1;
        QTest::newRow("missing") << "gamma" << 0 << -1 << 0 << -1;
    }

    void find()
    {
        QFETCH(QString, what);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(int, options);
        QFETCH(int, found);
        box->SetText("Alpha alphabet\r\nALPHA beta");
        QCOMPARE(box->Find(what, start, end, options), found);
        if (found >= 0) {
            QCOMPARE(box->SelStart(), found);
            QCOMPARE(box->SelText().compare(what, Qt::CaseInsensitive), 0);
        }
    }

    void findWithoutHighlightKeepsSelection()
    {
        box->SetText("abc abc");
        box->SetSelStart(1);
        QCOMPARE(box->Find("abc", 2, -1, RichTextBox::rtfNoHighlight), 4);
        QCOMPARE(box->SelStart(), 1);
        QCOMPARE(box->Find("abc"), 4); // from the caret
    }

    void replaceRangesKeepsFormatsAndUndoesAtOnce()
    {
        box->SetText("ab cd\r\nab ab");
        box->SetSelStart(10);
        box->SetSelLength(2);
        box->SetSelBold(true); // the second "ab" of the last line
        box->SetSelStart(0);
        box->ReplaceRanges({0, 7, 10}, 2, QStringLiteral("xyz"));
        QCOMPARE(box->Text(), QStringLiteral("xyz cd\r\nxyz xyz"));
        box->SetSelStart(12);
        box->SetSelLength(3);
        QCOMPARE(box->SelBold(), std::optional<bool>(true));
        box->SetSelStart(8);
        box->SetSelLength(3);
        QCOMPARE(box->SelBold(), std::optional<bool>(false));
        // A range over the paragraph break joins the paragraphs; a
        // replacement with a break splits one.
        box->ReplaceRanges({5}, 3, QStringLiteral("-\r\n-"));
        QCOMPARE(box->Text(), QStringLiteral("xyz c-\r\n-xyz xyz"));
        box->Undo();
        box->Undo();
        QCOMPARE(box->Text(), QStringLiteral("ab cd\r\nab ab"));
        QCOMPARE(vt::test::errorOf([&] { box->ReplaceRanges({3, 4}, 2, QStringLiteral("x")); }), 380);
        QCOMPARE(vt::test::errorOf([&] { box->ReplaceRanges({10}, 5, QStringLiteral("x")); }), 380);
        QCOMPARE(box->Text(), QStringLiteral("ab cd\r\nab ab"));
    }

    void selFormatsUniformAndMixed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("uniform");
        QTest::addColumn<std::function<void(RichTextBox &)>>("set");
        using F = std::function<void(RichTextBox &)>;
        QTest::newRow("bold") << "bold" << "false" << F([](RichTextBox &b) { b.SetSelBold(true); });
        QTest::newRow("italic") << "italic" << "false" << F([](RichTextBox &b) { b.SetSelItalic(true); });
        QTest::newRow("underline") << "underline" << "false" << F([](RichTextBox &b) { b.SetSelUnderline(true); });
        QTest::newRow("strike") << "strike" << "false" << F([](RichTextBox &b) { b.SetSelStrikeThru(true); });
        QTest::newRow("font") << "font" << "Tahoma" << F([](RichTextBox &b) { b.SetSelFontName("Courier New"); });
        QTest::newRow("size") << "size" << "9" << F([](RichTextBox &b) { b.SetSelFontSize(14); });
        QTest::newRow("color") << "color" << "#000000" << F([](RichTextBox &b) { b.SetSelColor(Qt::red); });
        QTest::newRow("offset") << "offset" << "0" << F([](RichTextBox &b) { b.SetSelCharOffset(55); });
        QTest::newRow("align") << "align" << "0" << F([](RichTextBox &b) { b.SetSelAlignment(2); });
        QTest::newRow("bullet") << "bullet" << "false" << F([](RichTextBox &b) { b.SetSelBullet(true); });
        QTest::newRow("indent") << "indent" << "0" << F([](RichTextBox &b) { b.SetSelIndent(720); });
        QTest::newRow("right") << "right" << "0" << F([](RichTextBox &b) { b.SetSelRightIndent(360); });
        QTest::newRow("hanging") << "hanging" << "0" << F([](RichTextBox &b) { b.SetSelHangingIndent(240); });
        QTest::newRow("tabs") << "tabs" << "" << F([](RichTextBox &b) { b.SetSelTabCount(1); });
    }

    void selFormatsUniformAndMixed()
    {
        QFETCH(QString, name);
        QFETCH(QString, uniform);
        QFETCH(std::function<void(RichTextBox &)>, set);
        box->SetText("first line\r\nsecond line");
        box->SetSelStart(0);
        box->SetSelLength(box->TextLength());
        QCOMPARE(prop(*box, name), uniform);
        // Change the second paragraph only (from "second" on): for a
        // character format the first "line" keeps the old value.
        box->SetSelStart(12);
        box->SetSelLength(6);
        set(*box);
        const QString changed = prop(*box, name);
        QVERIFY(changed != uniform && changed != "null");
        box->SetSelStart(0);
        box->SetSelLength(box->TextLength());
        QCOMPARE(prop(*box, name), QString("null"));
        box->SetSelStart(13); // caret inside the changed part
        QCOMPARE(prop(*box, name), changed);
        // Undo brings the uniform value back.
        QVERIFY(box->CanUndo());
        box->Undo();
        box->SetSelStart(0);
        box->SetSelLength(box->TextLength());
        QCOMPARE(prop(*box, name), uniform);
    }

    void caretFormatAppliesToNextInsertion()
    {
        box->SetText("plain");
        box->SetSelStart(box->TextLength());
        box->SetSelBold(true);
        box->SetSelColor(QColor(0, 0, 255));
        QCOMPARE(box->SelBold(), std::optional(true));
        box->SetSelStart(box->TextLength()); // moving to where it is keeps it
        box->SetSelText(" bold");
        box->SetSelStart(5);
        box->SetSelLength(5);
        QCOMPARE(box->SelBold(), std::optional(true));
        QCOMPARE(box->SelColor(), std::optional(QColor(0, 0, 255)));
        box->SetSelStart(0);
        box->SetSelLength(5);
        QCOMPARE(box->SelBold(), std::optional(false));
    }

    void appendKeepsTypingFormat()
    {
        // The receive engine's pattern: save the format at the end, append,
        // restore the saved format at the new end.
        box->SetText("typed");
        box->SetSelStart(box->TextLength());
        box->SetSelItalic(true);
        box->SetSelFontSize(12);
        const auto italic = box->SelItalic();
        const auto size = box->SelFontSize();
        box->SetSelText("\r\nCAP: 1 2801\r\n");
        box->SetSelStart(box->TextLength());
        box->SetSelItalic(*italic);
        box->SetSelFontSize(*size);
        box->SetSelText("more");
        QCOMPARE(box->Text(), QString("typed\r\nCAP: 1 2801\r\nmore"));
        QVERIFY(selectNeedle(*box, "more"));
        QCOMPARE(box->SelItalic(), std::optional(true));
        QCOMPARE(box->SelFontSize(), std::optional(12.0));
    }

    void indentsAndTabs()
    {
        box->SetText("para");
        box->SetSelIndent(720);
        box->SetSelHangingIndent(360);
        QCOMPARE(box->SelIndent(), std::optional(720));
        QCOMPARE(box->SelHangingIndent(), std::optional(360));
        box->SetSelIndent(1440); // the hanging indent stays
        QCOMPARE(box->SelHangingIndent(), std::optional(360));
        QCOMPARE(box->SelIndent(), std::optional(1440));
        box->SetSelTabCount(3);
        box->SetSelTabs(0, 1440);
        box->SetSelTabs(2, 4320);
        QCOMPARE(prop(*box, "tabs"), QString("1440,1440,4320"));
        QCOMPARE(box->SelTabs(3), std::nullopt);
        QCOMPARE(errorOf([&] { box->SetSelTabs(3, 100); }), 380);
        QCOMPARE(errorOf([&] { box->SetSelTabCount(RichTextBox::kMaxTabCount + 1); }), 380);
        box->SetSelTabCount(100); // the tab dialog's 100 stops all fit
        QCOMPARE(box->SelTabCount(), std::optional(100));
        box->SetSelTabCount(0);
        QCOMPARE(prop(*box, "tabs"), QString(""));
        QCOMPARE(errorOf([&] { box->SetSelFontSize(0); }), 380);
        QCOMPARE(errorOf([&] { box->SetSelAlignment(3); }), 380);
        QCOMPARE(errorOf([&] { box->SetSelFontName(""); }), 380);
    }

    void fixtures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("checks"); // needle|property|value
        QTest::newRow("rich-edit CFile") << "richedit-cfile.rtf"
            << "Session 12\r\nResults\r\nCAP: 1 2801 fps\r\nCAP: 2 2795 fps\r\nfirst\r\nsecond\r\n"
               "REM: gone\r\nH2O and x2"
            << QStringList{"Session|font|Tahoma", "Session|size|9", "Results|bold|true",
                           "Results|size|12", "Results|align|2", "2801|color|#ff0000", "2801|italic|false",
                           "2795|color|#0000ff", "2795|italic|true", "CAP: 1 2801|color|null",
                           "first|bullet|true", "first|indent|0", "first|hanging|720",
                           "second|bullet|true", "[REM: ]gone|underline|true", "[REM: ]gone|font|Courier New",
                           "REM: [gone]|strike|true", "H[2]O|offset|-60", "x[2]|offset|60",
                           "[H]2O|offset|0", "Session|bullet|false"};
        QTest::newRow("WordPad") << "wordpad.rtf"
            << QString::fromUtf8("Café čaj\r\nright\r\na\tb\tc\vd")
            << QStringList{"Café|font|Calibri", "Café|size|11", "right|align|1", "right|right|1440",
                           "b\tc|tabs|1440,2880", "Café čaj|tabs|"};
        QTest::newRow("word processor") << "wordproc.rtf"
            << QString::fromUtf8("Heading\r\nItem one\r\nItem two\r\nlink € Ω and red\r\n\uFFFC")
            << QStringList{"Heading|bold|true", "Heading|font|Calibri", "Heading|size|11",
                           "Item one|bullet|true", "Item one|indent|360", "Item one|hanging|360",
                           "Item two|bullet|true", "red|color|#c00000", "link|bullet|false"};
        QTest::newRow("office suite") << "office.rtf"
            << QString::fromUtf8("Plain bold and green\r\nПривет\r\nunder struck")
            << QStringList{"Plain|font|Liberation Sans", "Plain|bold|false", "bold|bold|true",
                           "green|italic|true", "green|color|#008000", "Привет|align|2",
                           "Привет|size|10", "Привет|font|DejaVu Sans", "under|underline|true",
                           "struck|strike|true", "under|align|3", "under|indent|850", "under|hanging|-283"};
    }

    void fixtures()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(QStringList, checks);
        box->LoadFile(fixture(file));
        QCOMPARE(box->Text(), text);
        for (const QString &check : checks) {
            const QStringList p = check.split('|');
            QVERIFY2(selectNeedle(*box, p[0]), qPrintable(check));
            QVERIFY2(prop(*box, p[1]) == p[2],
                     qPrintable(check + " got " + prop(*box, p[1])));
        }
        // Saving and loading again keeps the text and every format read.
        QTemporaryDir dir;
        const QString again = dir.filePath("again.rtf");
        box->SaveFile(again);
        RichTextBox other;
        other.LoadFile(again);
        QCOMPARE(other.Text(), text);
        QCOMPARE(other.TextRTF(), box->TextRTF());
    }

    void pictureSizeFromFixture()
    {
        box->LoadFile(fixture("wordproc.rtf"));
        const QTextDocument *doc = box->document();
        const QTextBlock last = doc->lastBlock();
        const QTextCharFormat f = last.begin().fragment().charFormat();
        QVERIFY(f.isImageFormat());
        QCOMPARE(f.toImageFormat().width() * 15, 60.0); // 120 twips at 50 %
    }

    // A large file loads in steps: events run between them (a timer set
    // before the load fires during it), the result is the one a load at once
    // gives, and a Cancel in either half leaves the box empty.
    void largeLoadInSteps_data()
    {
        QTest::addColumn<int>("cancelAt"); // first percent answered with Cancel; -1 none
        QTest::addColumn<bool>("rich");
        QTest::newRow("whole rtf") << -1 << true;
        QTest::newRow("whole text") << -1 << false;
        QTest::newRow("cancel while reading") << 0 << true;
        QTest::newRow("cancel while filling") << 25 << true;
        QTest::newRow("cancel while reading text") << 0 << false;
    }

    // A plain-text read given up by its caller stops early; with the flag
    // clear the same text reads whole.
    void plainReadGivesUpWhenCancelled()
    {
        QString text;
        for (int i = 0; i < 200000; ++i)
            text += QStringLiteral("CAP: %1\r\n").arg(i);
        std::atomic<bool> cancel{true};
        QVERIFY(vt::richtext::plainModel(text, {}, &cancel).paragraphs.size() < 20000);
        cancel = false;
        QVERIFY(vt::richtext::plainModel(text, {}, &cancel).paragraphs.size() >= 200000);
    }

    void largeLoadInSteps()
    {
        QFETCH(int, cancelAt);
        QFETCH(bool, rich);
        QTemporaryDir dir;
        const QString path = dir.filePath(rich ? "big.rtf" : "big.txt");
        {
            QByteArray body = rich ? "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " : "";
            for (int i = 0; i < 60000; ++i)
                body += "CAP: " + QByteArray::number(10000 + i) + " 1234.5 fps" + (rich ? "\\par\n" : "\r\n");
            if (rich)
                body += "}";
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(body);
        }
        const int type = rich ? RichTextBox::rtfRTF : RichTextBox::rtfText;
        RichTextBox atOnce;
        atOnce.LoadFile(path, type);

        box->SetText("before");
        bool timerFired = false, firedDuringLoad = false;
        QList<int> percents;
        // Bound to this case: a load given up before the loop ever turned
        // leaves the timer pending, and it must not fire into a later case.
        QObject thisCase;
        QTimer::singleShot(0, &thisCase, [&] { timerFired = true; });
        auto progress = [&](int percent) {
            percents.append(percent);
            firedDuringLoad = firedDuringLoad || timerFired;
            return cancelAt < 0 || percent < cancelAt;
        };
        const int error = errorOf([&] { box->LoadFile(path, type, progress); });
        QVERIFY(!percents.isEmpty());
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        if (cancelAt < 0) {
            QCOMPARE(error, 0);
            QVERIFY(firedDuringLoad);
            QCOMPARE(box->Text(), atOnce.Text());
            QVERIFY(!box->CanUndo());
        } else {
            QCOMPARE(error, 32755);
            QVERIFY(percents.last() >= cancelAt);
            QCOMPARE(box->Text(), QString());
            // The read was given up, not left running after the load.
            QVERIFY(!vt::longwork::backgroundRunning());
        }
    }

    // Qt's layout places lines in a fixed-point type that ends at about 8.4
    // million pixels; a text taller than that (some 600,000 lines of a
    // CFile) never finished loading. Here big letters make 60,000 lines as
    // tall; loaded at once and in steps, the text is laid out to its end,
    // every line below the one before, and the box's relayouts for a new
    // width or wrap while scrolled to the end keep it so.
    void textTallerThanTheLayoutLimit_data()
    {
        QTest::addColumn<bool>("inSteps");
        QTest::newRow("at once") << false;
        QTest::newRow("in steps") << true;
    }

    void textTallerThanTheLayoutLimit()
    {
        QFETCH(bool, inSteps);
        constexpr int kLines = 60000;
        constexpr qreal kLimit = 8388607; // the largest place Qt's layout keeps without pages
        QTemporaryDir dir;
        const QString path = dir.filePath("tall.txt");
        // Trailing blanks do not wrap; they make the file big enough to load
        // in steps.
        const QByteArray pad(inSteps ? 14 : 0, ' ');
        const QString lastLine = QString::fromLatin1(QByteArray::number(kLines - 1) + pad);
        {
            QByteArray body;
            for (int i = 0; i < kLines; ++i)
                body += QByteArray::number(i) + pad + (i + 1 < kLines ? "\r\n" : "");
            QVERIFY(!inSteps || body.size() > (1 << 20));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(body);
        }
        QFont big = box->font();
        big.setPointSize(150);
        box->document()->setDefaultFont(big);
        box->resize(1200, 600);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        int steps = 0;
        box->LoadFile(path, RichTextBox::rtfText, [&](int) { return ++steps > 0; });
        QCOMPARE(steps > 0, inSteps);

        QAbstractTextDocumentLayout *layout = box->document()->documentLayout();
        auto placedInOrder = [&] {
            qreal last = -1;
            for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
                const qreal top = layout->blockBoundingRect(b).top();
                if (top <= last)
                    return false;
                last = top;
            }
            return true;
        };
        QVERIFY(layout->documentSize().height() > kLimit);
        QCOMPARE(box->GetLineCount(), kLines);
        QVERIFY(placedInOrder());
        QCOMPARE(box->document()->lastBlock().text(), lastLine);

        // At the end, a new width and then no wrapping: the view stays at the
        // end and the layout still reaches it.
        QTRY_VERIFY(box->verticalScrollBar()->maximum() > kLimit);
        box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
        const int end = box->verticalScrollBar()->value();
        box->resize(1100, 600);
        QVERIFY(layout->documentSize().height() > kLimit);
        QVERIFY(box->verticalScrollBar()->value() > end - 1000);
        box->SetWrap(RichTextBox::Wrap::None);
        QVERIFY(layout->documentSize().height() > kLimit);
        QVERIFY(placedInOrder());
        QCOMPARE(box->GetLineCount(), kLines);

        // Typing at the end lands there.
        box->SetSelStart(box->TextLength());
        QTest::keyClicks(box.get(), "x");
        QCOMPARE(box->document()->lastBlock().text(), lastLine + "x");
    }

    void filesAndErrors()
    {
        QTemporaryDir dir;
        box->SetText("keep me");
        const QString notRtf = dir.filePath("plain.rtf");
        {
            QFile f(notRtf);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("just text, no rich text here");
        }
        QCOMPARE(errorOf([&] { box->LoadFile(notRtf); }), 321);
        try {
            box->LoadFile(notRtf);
        } catch (const vt::RtError &e) {
            QCOMPARE(e.description, QString("Invalid file format"));
        }
        const QString empty = dir.filePath("empty.rtf");
        QFile(empty).open(QIODevice::WriteOnly);
        QCOMPARE(errorOf([&] { box->LoadFile(empty); }), 321);
        QCOMPARE(errorOf([&] { box->LoadFile(dir.filePath("missing.rtf")); }), 53);
        QCOMPARE(errorOf([&] { box->LoadFile(dir.path()); }), 75);
        QCOMPARE(errorOf([&] { box->SaveFile(dir.filePath("no/such/dir/x.rtf")); }), 76);
        QCOMPARE(errorOf([&] { box->SaveFile(dir.filePath("x.rtf"), 8); }), 380);
        QCOMPARE(box->Text(), QString("keep me")); // failed loads change nothing

        // Plain text: the same file read as plain text, then saved and read back.
        box->LoadFile(notRtf, RichTextBox::rtfText);
        QCOMPARE(box->Text(), QString("just text, no rich text here"));
        box->SetText(QString::fromUtf8("línea 1\r\nline 2 €\r\n"));
        const QString txt = dir.filePath("out.txt");
        box->SaveFile(txt, RichTextBox::rtfText);
        QFile f(txt);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("l\xC3\xADnea 1\r\nline 2 \xE2\x82\xAC\r\n")); // UTF-8, whatever the text
        f.close();
        RichTextBox other;
        other.LoadFile(txt, RichTextBox::rtfText);
        QCOMPARE(other.Text(), box->Text());
        // A file that is no valid UTF-8 is read as code page 1252; a byte
        // order mark of a UTF-8 file is not part of the text.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("l\xEDnea \x80 \x93q\x94");
        f.close();
        other.LoadFile(txt, RichTextBox::rtfText);
        QCOMPARE(other.Text(), QString::fromUtf8("línea € “q”"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\xEF\xBB\xBF\xCE\xA9 ok");
        f.close();
        other.LoadFile(txt, RichTextBox::rtfText);
        QCOMPARE(other.Text(), QString::fromUtf8("Ω ok"));
        QVERIFY(!other.CanUndo()); // a load is not undoable
    }

    void clipboardCarriesFormatting()
    {
        box->SetText("plain bold");
        box->SetSelStart(6);
        box->SetSelLength(4);
        box->SetSelBold(true);
        box->SetSelStart(0);
        box->SetSelLength(10);
        box->Copy();
        const QMimeData *m = QApplication::clipboard()->mimeData();
        QVERIFY(m->hasFormat("text/rtf"));
        QCOMPARE(m->text(), QString("plain bold"));
        RichTextBox other;
        other.SetText("[]");
        other.SetSelStart(1);
        other.Paste();
        QCOMPARE(other.Text(), QString("[plain bold]"));
        QVERIFY(selectNeedle(other, "bold"));
        QCOMPARE(other.SelBold(), std::optional(true));
        QVERIFY(selectNeedle(other, "plain"));
        QCOMPARE(other.SelBold(), std::optional(false));
        // Whole paragraphs paste as paragraphs.
        box->SetText("one\r\ntwo\r\n");
        box->SetSelStart(0);
        box->SetSelLength(box->TextLength());
        box->Cut();
        QCOMPARE(box->Text(), QString());
        other.SetText("x");
        other.SetSelStart(0);
        other.Paste();
        QCOMPARE(other.Text(), QString("one\r\ntwo\r\nx"));
        // Plain text and pictures from other programs.
        QApplication::clipboard()->setText("a\nb");
        other.SetText("");
        other.Paste();
        QCOMPARE(other.Text(), QString("a\r\nb"));
        QImage img(3, 2, QImage::Format_RGB32);
        img.fill(Qt::green);
        QApplication::clipboard()->setImage(img);
        other.Paste();
        QCOMPARE(other.Text(), QString("a\r\nb\uFFFC"));
        other.SetSelStart(0);
        other.SetSelLength(other.TextLength());
        other.Clear();
        QCOMPARE(other.Text(), QString());
    }

    void events()
    {
        box->show();
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box.get()));
        box->SetText("abc");
        box->SetSelStart(1);
        QSignalSpy changes(box.get(), &RichTextBox::Change);
        QSignalSpy selChanges(box.get(), &RichTextBox::SelChange);
        int downs = 0;
        connect(box.get(), &RichTextBox::KeyDown, box.get(), [&](int &key, int shift) {
            ++downs;
            if (key == Qt::Key_Left && shift == 0)
                key = 0; // swallowed: the caret stays
        });
        connect(box.get(), &RichTextBox::KeyPress, box.get(), [&](int &ascii) {
            if (ascii == 'x')
                ascii = 0;
            else if (ascii == 'y')
                ascii = 'Y';
        });
        QTest::keyClick(box.get(), Qt::Key_Left);
        QCOMPARE(box->SelStart(), 1);
        QTest::keyClick(box.get(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(box->SelStart(), 0);
        QTest::keyClick(box.get(), Qt::Key_Right);
        QTest::keyClicks(box.get(), "xyz");
        QCOMPARE(box->Text(), QString("aYzbc"));
        QCOMPARE(downs, 7); // QTest presses Shift as a key of its own
        QVERIFY(changes.count() >= 2);
        QVERIFY(selChanges.count() >= 3);
        const int before = int(selChanges.count());
        box->SetSelStart(box->SelStart()); // no movement, no event
        QCOMPARE(selChanges.count(), before);

        QList<QList<int>> downsAt;
        connect(box.get(), &RichTextBox::MouseDown, box.get(),
                [&](int b, int s, int x, int y) { downsAt.append({b, s, x, y}); });
        QSignalSpy clicks(box.get(), &RichTextBox::Click);
        QTest::mouseClick(box->viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(12, 6));
        QCOMPARE(downsAt.size(), 2);
        QCOMPARE(downsAt[0], (QList<int>{RichTextBox::vbRightButton, RichTextBox::vbShiftMask, 10, 5}));
        QCOMPARE(downsAt[1][0], int(RichTextBox::vbLeftButton));
        QCOMPARE(clicks.count(), 1);
    }

    void hideSelection()
    {
        const QPalette p = box->palette();
        QCOMPARE(p.color(QPalette::Inactive, QPalette::Highlight), p.color(QPalette::Inactive, QPalette::Base));
        box->SetHideSelection(false);
        QCOMPARE(box->palette().color(QPalette::Inactive, QPalette::Highlight),
                 box->palette().color(QPalette::Active, QPalette::Highlight));
        box->SetBackColor(QColor(1, 2, 3));
        QCOMPARE(box->BackColor(), QColor(1, 2, 3));
    }

    void displayLines()
    {
        box->show();
        QCOMPARE(box->GetLineCount(), 1); // empty
        QCOMPARE(box->LineFromChar(0), 0);
        const QString longLine = QString("word ").repeated(60);
        box->SetText("short\r\n" + longLine + "\r\nlast");
        box->SetWrap(RichTextBox::Wrap::None);
        QCOMPARE(box->GetLineCount(), 3);
        QCOMPARE(box->LineFromChar(box->TextLength()), 2);
        QCOMPARE(box->LineIndex(2), box->TextLength() - 4);
        QCOMPARE(box->LineIndex(3), -1);
        box->SetWrap(RichTextBox::Wrap::Window);
        const int wrapped = box->GetLineCount();
        QVERIFY2(wrapped > 4, qPrintable(QString::number(wrapped)));
        QCOMPARE(box->LineFromChar(box->TextLength()), wrapped - 1);
        QCOMPARE(box->LineIndex(wrapped - 1), box->TextLength() - 4);
        // The second display line of the long paragraph starts inside it.
        const int second = box->LineIndex(2);
        QVERIFY(second > 7 && second < 7 + longLine.size());
        QCOMPARE(box->LineFromChar(second), 2);
        box->SetSelStart(second);
        QCOMPARE(box->LineFromChar(), 2);
        box->SetWrap(RichTextBox::Wrap::Width, 1440); // one inch
        QVERIFY(box->GetLineCount() > wrapped);
        // A line break inside a paragraph is a display line of its own.
        box->SetText("a\vb");
        box->SetWrap(RichTextBox::Wrap::None);
        QCOMPARE(box->GetLineCount(), 2);
    }

    // The line queries remember what they counted; every kind of change that
    // can rewrap a paragraph must make them count it again.
    void displayLinesFollowChanges()
    {
        box->resize(300, 200);
        box->show();
        QString text;
        for (int i = 0; i < 120; ++i)
            text += (i ? "\r\n" : "") + QString("w%1 ").arg(i).repeated(i % 7 * 6 + 1);
        box->SetText(text);
        auto fresh = [this](int docPos) {
            QTextDocument *doc = box->document();
            doc->documentLayout()->documentSize();
            int n = 0, at = -1;
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
                if (b.contains(docPos) && at < 0)
                    at = n + b.layout()->lineForTextPosition(docPos - b.position()).lineNumber();
                n += std::max(1, b.layout()->lineCount());
            }
            return std::pair{n, at};
        };
        auto check = [&](const char *step) {
            const int docEnd = box->document()->characterCount() - 1;
            for (int docPos : {0, docEnd / 3, docEnd / 2, docEnd}) {
                QTextCursor c(box->document());
                c.setPosition(docPos);
                box->setTextCursor(c);
                QVERIFY2(box->LineFromChar() == fresh(docPos).second, step);
            }
            QVERIFY2(box->GetLineCount() == fresh(0).first, step);
            const int last = box->GetLineCount() - 1;
            QVERIFY2(box->LineFromChar(box->LineIndex(last)) == last, step);
        };
        check("loaded");
        const int before = box->GetLineCount();
        box->SetSelStart(box->TextLength());
        box->SetSelText(QString("tail ").repeated(40));
        check("appended at the end");
        QVERIFY(box->GetLineCount() > before);
        QTextCursor mid(box->document()->findBlockByNumber(60));
        mid.insertText(QString("grown ").repeated(50));
        check("paragraph in the middle rewrapped");
        QTextCursor join(box->document()->findBlockByNumber(30));
        join.movePosition(QTextCursor::EndOfBlock);
        join.deleteChar();
        check("two paragraphs joined");
        QTextCursor fmt(box->document()->findBlockByNumber(90));
        fmt.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat big;
        big.setFontPointSize(30);
        fmt.mergeCharFormat(big);
        check("a paragraph's font enlarged");
        box->resize(150, 200);
        check("window narrowed");
        QFont f = box->document()->defaultFont();
        f.setPointSize(f.pointSize() + 4);
        box->document()->setDefaultFont(f);
        check("default font changed");
        box->document()->undo();
        check("undone");
        box->SetText("one\r\ntwo");
        check("replaced");
        QCOMPARE(box->GetLineCount(), 2);
    }

    // With no wrapping, aligned paragraphs are placed against the window's
    // width however they arrive: loaded from a file, set as RTF, or aligned
    // after the wrap mode was chosen on plain text.
    void noWrapAlignsAgainstWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("file") << "file";
        QTest::newRow("rtf text") << "rtf";
        QTest::newRow("aligned later") << "align";
        QTest::newRow("long file, aligned at its end") << "long";
    }
    void noWrapAlignsAgainstWindow()
    {
        QFETCH(QString, how);
        box->show();
        box->SetWrap(RichTextBox::Wrap::None); // while the box is still empty
        QByteArray rtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs18 left\\par\\qc centred\\par\\qr right\\par}");
        int first = 0; // the block of the left-aligned line
        if (how == "long") {
            // Far beyond the first screen, where the layout may not have been
            // at the time the text arrived.
            first = 5000;
            rtf.insert(rtf.indexOf("left"), QByteArray("shot\\par ").repeated(first));
        }
        if (how == "file" || how == "long") {
            QTemporaryDir dir;
            const QString path = dir.filePath("aligned.rtf");
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(rtf);
            f.close();
            box->LoadFile(path);
        } else if (how == "rtf") {
            box->SetTextRTF(rtf);
        } else {
            box->SetText("left\r\ncentred\r\nright");
            box->SetSelStart(box->Find("centred", 0));
            box->SetSelAlignment(RichTextBox::rtfCenter);
            box->SetSelStart(box->Find("right", 0));
            box->SetSelAlignment(RichTextBox::rtfRight);
        }
        QCOMPARE(box->lineWrapMode(), QTextEdit::NoWrap);
        const int width = box->viewport()->width();
        auto line = [&](int block) {
            const QTextBlock b = box->document()->findBlockByNumber(block);
            return b.layout()->lineAt(0).naturalTextRect().translated(b.layout()->position());
        };
        const QRectF left = line(first), centred = line(first + 1), right = line(first + 2);
        QVERIFY2(left.left() < 20, qPrintable(QString::number(left.left())));
        QVERIFY2(qAbs(centred.center().x() - width / 2.0) < 20,
                 qPrintable(QString("%1 of %2").arg(centred.center().x()).arg(width)));
        QVERIFY2(right.right() > width - 20, qPrintable(QString("%1 of %2").arg(right.right()).arg(width)));
    }

    void pageFormatting()
    {
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QString("Line %1 of the document").arg(i);
        box->SetText(lines.join("\r\n"));
        QImage page(850, 1100, QImage::Format_RGB32); // letter at 100 dpi
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        const QRect rc(1440, 720, 12240 - 2880, 15840 - 1440);
        int from = 0;
        int pages = 0;
        while (from < box->TextLength()) {
            page.fill(Qt::white);
            QPainter painter(&page);
            const int next = box->FormatRange(&painter, rc, from);
            painter.end();
            QVERIFY(next > from);
            if (pages == 0) {
                // Something was drawn, inside the text rectangle only.
                bool inked = false;
                bool outside = false;
                for (int y = 0; y < page.height(); y += 2)
                    for (int x = 0; x < page.width(); x += 2) {
                        if (page.pixel(x, y) == qRgb(255, 255, 255))
                            continue;
                        inked = true;
                        outside = outside || x < 99 || y < 49 || y > 1051;
                    }
                QVERIFY(inked);
                QVERIFY(!outside);
            }
            from = next;
            ++pages;
        }
        QVERIFY2(pages >= 3 && pages < 20, qPrintable(QString::number(pages)));
        QCOMPARE(from, box->TextLength());
        // Counting without drawing gives the same breaks.
        int counted = 0;
        for (int at = 0; at < box->TextLength(); ++counted)
            at = box->FormatRange(nullptr, rc, at);
        QCOMPARE(counted, pages);
        // A page too low for a line makes no progress, nor does an empty one.
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, 10), 0), 0);
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, 0), 0), 0);
        // Pictures are drawn too.
        QImage red(60, 60, QImage::Format_RGB32);
        red.fill(Qt::red);
        QApplication::clipboard()->setImage(red);
        box->SetText("");
        box->Paste();
        page.fill(Qt::white);
        QPainter painter(&page);
        QCOMPARE(box->FormatRange(&painter, rc, 0), box->TextLength());
        painter.end();
        QCOMPARE(page.pixel(100 + 30, 50 + 30), qRgb(255, 0, 0));
        box->FormatRangeDone();
        box->SetText("");
        QCOMPARE(box->FormatRange(nullptr, rc, 0), 0);
    }

    // The page formatter places whole lines only: a short paragraph is one
    // page, pages break where lines start, and a rectangle without room for
    // one line answers where it began.
    void formatterBreaksAtLines()
    {
        box->SetText("One short paragraph.");
        const QRect letter(1440, 720, 12240 - 2880, 15840 - 1440);
        QCOMPARE(box->FormatRange(nullptr, letter, 0), box->TextLength());

        const QString para = "Paragraph number %1";
        QStringList paras;
        for (int i = 0; i < 10; ++i)
            paras << para.arg(i);
        box->SetText(paras.join("\r\n"));
        const int step = para.arg(0).size() + 2; // each paragraph and its CR LF
        // The lowest rectangle that takes one line gives the line's height.
        int lineHeight = 0;
        for (int h = 1; h < 2000 && lineHeight == 0; ++h)
            if (box->FormatRange(nullptr, QRect(0, 0, 5000, h), 0) > 0)
                lineHeight = h;
        QVERIFY(lineHeight > 100);
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, lineHeight), 0), step);
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, 3 * lineHeight), 0), 3 * step);
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, 3 * lineHeight - 1), 0), 2 * step);
        // From the middle of the text, and stopping at `to`.
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, 2 * lineHeight), 4 * step), 6 * step);
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, 20 * lineHeight), 4 * step, 5 * step + 3), 5 * step + 3);
        // No room: the answer is where the page began.
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 5000, lineHeight - 1), 2 * step), 2 * step);
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 0, 20 * lineHeight), 2 * step), 2 * step);

        // A wrapped paragraph breaks between its display lines, at a word.
        box->SetText(QString("word ").repeated(400).trimmed());
        const int next = box->FormatRange(nullptr, QRect(0, 0, 3000, 3 * lineHeight), 0);
        QVERIFY(next > 0 && next < box->TextLength());
        QCOMPARE(box->Text().at(next - 1), QChar(' '));
        QCOMPARE(box->Text().mid(next, 4), QString("word"));
        // The next page goes on from there, three lines again.
        QCOMPARE(box->FormatRange(nullptr, QRect(0, 0, 3000, 3 * lineHeight), next), 2 * next);
        box->FormatRangeDone();
    }

private:
    std::unique_ptr<RichTextBox> box;
};

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
