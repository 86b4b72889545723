// The spelling layer: finding installed hunspell dictionaries, words in a
// text, checking and suggesting (also in a dictionary that is not UTF-8), and
// the spreadsheet's CheckSpelling walking through unknown words.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/errorof.h"
#include "platform/answers.h"
#include "platform/spelling.h"
#include "platform/spreadsheet.h"
#include "vt_paths.h"

using namespace vt;
using vt::test::errorOf;

namespace {

const QString kFixtureFolder = QStringLiteral(VT_FIXTURES_DIR "/spelling");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList wordsOf(const QString &text)
{
    QStringList out;
    for (spelling::Word w = spelling::nextWord(text, 0); w.length > 0;
         w = spelling::nextWord(text, w.start + w.length))
        out << text.mid(w.start, w.length);
    return out;
}

} // namespace

class TestSpelling : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        answers::reset();
        qputenv("VANTRELL_DICTIONARIES", kFixtureFolder.toLocal8Bit());
    }
    void cleanup() { qunsetenv("VANTRELL_DICTIONARIES"); }

    void wordsOfAText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "Teh chrono" << QStringList{"Teh", "chrono"};
        QTest::newRow("line breaks and punctuation") << "line,two.\r\n(note)" << QStringList{"line", "two", "note"};
        QTest::newRow("digits are no words") << "KT4 at 12.5 fps 4th" << QStringList{"at", "fps"};
        QTest::newRow("inner apostrophes") << "don't 'quoted' it’s" << QStringList{"don't", "quoted", "it’s"};
        QTest::newRow("accents and marks") << "naïve cafe\u0301" << QStringList{"naïve", "cafe\u0301"};
        QTest::newRow("hyphen splits") << "well-known" << QStringList{"well", "known"};
        QTest::newRow("nothing") << " 123 -- ''" << QStringList{};
    }
    void wordsOfAText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(wordsOf(text), words);
    }

    void dictionariesNeedBothFiles()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("de_DE.aff"), "SET UTF-8\n");
        writeFile(dir.filePath("fr_FR.dic"), "1\nle\n");
        writeFile(dir.filePath("xx_XX.aff"), "SET UTF-8\n");
        writeFile(dir.filePath("xx_XX.dic"), "1\nword\n");
        qputenv("VANTRELL_DICTIONARIES", QString(dir.path() + ":" + kFixtureFolder).toLocal8Bit());
        QCOMPARE(spelling::installedDictionaries(), (QStringList{"en_US", "xx_XX"}));
        QCOMPARE(spelling::preferredDictionary(), QStringLiteral("en_US"));
        QVERIFY(!spelling::Checker(QStringLiteral("de_DE")).isOpen());
        QVERIFY(spelling::Checker(QStringLiteral("xx_XX")).check(QStringLiteral("word")));
    }

    void noDictionaryInstalled()
    {
        QTemporaryDir empty;
        qputenv("VANTRELL_DICTIONARIES", empty.path().toLocal8Bit());
        QVERIFY(spelling::installedDictionaries().isEmpty());
        QCOMPARE(spelling::preferredDictionary(), QString());
        spelling::Checker checker;
        QVERIFY(!checker.isOpen());
        QVERIFY(!checker.check(QStringLiteral("the")));
        QVERIFY(checker.suggest(QStringLiteral("Teh")).isEmpty());
    }

    void systemDictionaryIsFound()
    {
        // The README installs hunspell-en-us into the system's folder.
        qunsetenv("VANTRELL_DICTIONARIES");
        QVERIFY2(spelling::installedDictionaries().contains(QStringLiteral("en_US")),
                 "hunspell-en-us is not installed");
        spelling::Checker checker(QStringLiteral("en_US"));
        QVERIFY(checker.isOpen());
        QVERIFY(checker.check(QStringLiteral("velocity")));
        QVERIFY(!checker.check(QStringLiteral("velocty")));
        QVERIFY(checker.suggest(QStringLiteral("velocty")).contains(QStringLiteral("velocity")));
    }

    void checksAndSuggests()
    {
        spelling::Checker checker;
        QVERIFY(checker.isOpen());
        QCOMPARE(checker.name(), QStringLiteral("en_US"));
        QVERIFY(checker.check(QStringLiteral("the")));
        QVERIFY(checker.check(QStringLiteral("The")));
        QVERIFY(checker.check(QStringLiteral("don't")));
        QVERIFY(!checker.check(QStringLiteral("Teh")));
        QCOMPARE(checker.suggest(QStringLiteral("Teh")).value(0), QStringLiteral("The"));
        checker.ignore(QStringLiteral("Teh"));
        QVERIFY(checker.check(QStringLiteral("Teh")));
        QVERIFY(!checker.check(QStringLiteral("teh")));
    }

    void dictionaryInLatin1()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("fr_FR.aff"), "SET ISO8859-1\nTRY esianrtolcdugmfphbyvkw\xe9\n");
        writeFile(dir.filePath("fr_FR.dic"), "2\ncaf\xe9\nth\xe9\n");
        qputenv("VANTRELL_DICTIONARIES", dir.path().toLocal8Bit());
        spelling::Checker checker;
        QVERIFY(checker.isOpen());
        QVERIFY(checker.check(QStringLiteral("café")));
        QVERIFY(!checker.check(QStringLiteral("cafe")));
        QVERIFY(checker.suggest(QStringLiteral("cafe")).contains(QStringLiteral("café")));
        // A word with no form in the dictionary's encoding is unknown, never
        // matched through replacement characters.
        QVERIFY(!checker.check(QStringLiteral("кофе")));
        QVERIFY(checker.suggest(QStringLiteral("кофе")).isEmpty());
    }

    void sheetCheckWalksUnknownWords_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("Change takes the first suggestion")
            << QStringList{"Teh chrono\r\nline two"} << QStringList{"Change"}
            << QStringList{"The chrono\r\nline two"} << QStringList{"Teh"};
        QTest::newRow("a typed word")
            << QStringList{"Teh chrono"} << QStringList{"Tea"} << QStringList{"Tea chrono"} << QStringList{"Teh"};
        QTest::newRow("Ignore keeps it, and its repeats")
            << QStringList{"Teh line, Teh note", "Teh"} << QStringList{"Ignore"}
            << QStringList{"Teh line, Teh note", "Teh"} << QStringList{"Teh"};
        QTest::newRow("unanswered keeps it")
            << QStringList{"Teh line"} << QStringList{} << QStringList{"Teh line"} << QStringList{"Teh"};
        QTest::newRow("Cancel keeps earlier changes and stops")
            << QStringList{"Teh line, Teh note", "Teh"} << QStringList{"Change", "Cancel"}
            << QStringList{"The line, Teh note", "Teh"} << QStringList{"Teh", "Teh"};
        QTest::newRow("replacement longer and shorter")
            << QStringList{"Teh x Teh"} << QStringList{"velocity", "Ignore", "a"} << QStringList{"velocity x a"}
            << QStringList{"Teh", "x", "Teh"};
        QTest::newRow("known words and numbers ask nothing")
            << QStringList{"KT4 line 12.5 The don't"} << QStringList{} << QStringList{"KT4 line 12.5 The don't"}
            << QStringList{};
    }
    void sheetCheckWalksUnknownWords()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, asked);
        xl::BookPtr doc = xl::CreateSheetDocument(QStringLiteral("Excel.Sheet"));
        xl::SheetPtr sheet = doc->Application()->ActiveWorkbook()->ActiveSheet();
        for (int i = 0; i < cells.size(); ++i)
            sheet->Cells(i + 1, 1)->setValue(xl::Variant(cells[i]));
        for (const QString &a : answers)
            answers::queue(a);
        sheet->CheckSpelling();
        for (int i = 0; i < cells.size(); ++i)
            QCOMPARE(sheet->Cells(i + 1, 1)->Value().toString(), expected[i]);
        QStringList words;
        for (const answers::Record &r : answers::asked()) {
            QCOMPARE(r.question.title, QStringLiteral("Spelling"));
            QCOMPARE(r.question.defaultAnswer, QStringLiteral("Ignore"));
            words << r.question.text.section(QStringLiteral("\r\n"), 0, 0).section(QStringLiteral(": "), 1);
        }
        QCOMPARE(words, asked);
        doc->Close(false);
    }

    void questionNamesWordAndSuggestions()
    {
        xl::BookPtr doc = xl::CreateSheetDocument(QStringLiteral("Excel.Sheet"));
        xl::SheetPtr sheet = doc->Application()->ActiveWorkbook()->ActiveSheet();
        sheet->Range(QStringLiteral("A1"))->setValue(xl::Variant(QStringLiteral("Teh")));
        sheet->CheckSpelling();
        const answers::Record r = answers::last();
        QCOMPARE(r.question.kind, QStringLiteral("dialog"));
        QVERIFY2(r.question.text.startsWith(QStringLiteral("Not in Dictionary: Teh\r\nSuggestions: The")),
                 qPrintable(r.question.text));
        QCOMPARE(r.question.buttons, (QStringList{"Ignore", "Change", "Cancel"}));
        doc->Close(false);
    }

    void sheetCheckWithoutDictionaryFails()
    {
        QTemporaryDir empty;
        qputenv("VANTRELL_DICTIONARIES", empty.path().toLocal8Bit());
        xl::BookPtr doc = xl::CreateSheetDocument(QStringLiteral("Excel.Sheet"));
        xl::SheetPtr sheet = doc->Application()->ActiveWorkbook()->ActiveSheet();
        sheet->Range(QStringLiteral("A1"))->setValue(xl::Variant(QStringLiteral("Teh")));
        QCOMPARE(errorOf([&] { sheet->CheckSpelling(); }), 1004);
        QCOMPARE(sheet->Range(QStringLiteral("A1"))->Value().toString(), QStringLiteral("Teh"));
        QVERIFY(answers::asked().isEmpty());
        doc->Close(false);
    }
};

QTEST_MAIN(TestSpelling)
#include "tst_spelling.moc"
