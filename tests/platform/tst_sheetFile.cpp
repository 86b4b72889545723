// Workbooks on disk: a workbook saved and reopened compares cell by cell;
// the file caches formula results for other programs; bad files and
// unwritable folders fail cleanly with 1004.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "common/errorof.h"
#include "common/filesizelimit.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/spreadsheet.h"
#include "platform/spreadsheet_data.h"

#include <csignal>
#include <unistd.h>
#include <zip.h>

using namespace vt;
using namespace vt::xl;
using vt::test::errorOf;
using vt::test::FileSizeLimit;

namespace {

// One entry of a zip file as text (empty when missing).
QString zipEntry(const QString &file, const char *name)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray out;
    if (zip_file_t *f = zip_fopen(z, name, 0)) {
        char buf[4096];
        zip_int64_t n;
        while ((n = zip_fread(f, buf, sizeof buf)) > 0)
            out.append(buf, qsizetype(n));
        zip_fclose(f);
    }
    zip_discard(z);
    return QString::fromUtf8(out);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Puts `data` in place of one entry of an existing zip file.
void replaceZipEntry(const QString &file, const char *name, const QByteArray &data)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(file).constData(), 0, &err);
    QVERIFY(z);
    zip_source_t *src = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
    QVERIFY(zip_file_add(z, name, src, ZIP_FL_OVERWRITE) >= 0);
    QCOMPARE(zip_close(z), 0);
}

void writeZip(const QString &file, const QList<QPair<QByteArray, QByteArray>> &entries)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    QVERIFY(z);
    static QList<QByteArray> keep;           // libzip reads the buffers at close
    for (const auto &[name, data] : entries) {
        keep.append(data);
        zip_source_t *src = zip_source_buffer(z, keep.last().constData(), zip_uint64_t(keep.last().size()), 0);
        zip_file_add(z, name.constData(), src, ZIP_FL_OVERWRITE);
    }
    QCOMPARE(zip_close(z), 0);
}


// A headless LibreOffice converting `file` into `outDir` with a profile of its
// own, whose one setting is when Calc recalculates formulas on loading an
// .xlsx (0 always, 1 never). LibreOffice starts helper processes of its own:
// it runs in a process group of its own, so that one that hangs is ended
// whole. A conversion that does not finish within its bound fails the test
// and says so; the bound leaves room for a busy machine and fits in the time
// ctest gives this program.
constexpr int kOfficeMs = 180000;

void convertWithOffice(const QString &office, const QString &profile, int recalcMode, const QString &filter,
                       const QString &outDir, const QString &file)
{
    QDir().mkpath(profile + QStringLiteral("/user"));
    QFile xcu(profile + QStringLiteral("/user/registrymodifications.xcu"));
    QVERIFY(xcu.open(QIODevice::WriteOnly));
    xcu.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
              "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
              "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\">"
              "<prop oor:name=\"OOXMLRecalcMode\" oor:op=\"fuse\"><value>"
              + QByteArray::number(recalcMode) + "</value></prop></item>\n"
              "</oor:items>\n");
    xcu.close();

    QProcess p;
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start(office, {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                     QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, file});
    QVERIFY2(p.waitForStarted(kOfficeMs), qPrintable(p.errorString()));
    const pid_t group = pid_t(p.processId());
    const bool finished = p.waitForFinished(kOfficeMs);
    // Whatever it left running goes with it.
    ::kill(-group, SIGKILL);
    if (!finished) {
        p.waitForFinished(10000);
        QFAIL(qPrintable(QStringLiteral("LibreOffice did not finish converting %1 within %2 s and was ended; it said: %3")
                             .arg(file)
                             .arg(kOfficeMs / 1000)
                             .arg(QString::fromUtf8(p.readAllStandardError()))));
    }
}

} // namespace

class TestSheetFile : public QObject {
    Q_OBJECT
    AppPtr app;
    QTemporaryDir dir;

    // A workbook with something of every kind the export writes.
    BookPtr fixture()
    {
        BookPtr wb = app->Workbooks()->Add();
        SheetPtr d = wb->Worksheets(1), s = wb->Worksheets(2), z = wb->Worksheets(3);
        d->setName(QStringLiteral("Capture"));
        s->setName(QStringLiteral("iSetup"));
        z->setName(QStringLiteral("zOvu"));
        s->Range(QStringLiteral("D6"))->setValue(0.3048);
        d->Range(QStringLiteral("A1"))->setValue(QStringLiteral("Help"));
        d->Range(QStringLiteral("A1"))->Hyperlinks()->Add(d->Range(QStringLiteral("A1")), dir.filePath(QStringLiteral("help dir/vanthlpx.htm")));
        d->Range(QStringLiteral("B1"))->Hyperlinks()->Add(d->Range(QStringLiteral("B1")), QStringLiteral("vanthlpx.htm"), QStringLiteral("Local"));
        d->Range(QStringLiteral("C1"))->Hyperlinks()->Add(d->Range(QStringLiteral("C1")), QStringLiteral("https://example.org/a?b=1"));
        d->Range(QStringLiteral("E1"))->setValue(QStringLiteral("Source Of This Data: Capture from KT4 Pulsidar"));
        d->Range(QStringLiteral("Q1"))->setValue(3);
        d->Range(QStringLiteral("Q2"))->setValue(12);
        d->Range(QStringLiteral("E5"))->setValue(295.5);
        d->Range(QStringLiteral("E6"))->setValue(QStringLiteral("-?-"));
        d->Range(QStringLiteral("E7"))->setValue(310.25);
        d->Range(QStringLiteral("F5"))->setValue(true);
        d->Range(QStringLiteral("N7"))->setFormula(QStringLiteral("=AVERAGE(E5:E7)"));
        d->Range(QStringLiteral("P5"))->setFormula(QStringLiteral("=STDEV(E5:E5)"));
        d->Range(QStringLiteral("S7"))->setValue(QStringLiteral("=($E7*iSetup!$D$6)"));
        d->Range(QStringLiteral("T7"))->setFormula(QStringLiteral("=\"x\""));
        d->Range(QStringLiteral("N7"))->setNumberFormat(QStringLiteral("0.00"));
        d->Range(QStringLiteral("R7"))->setNumberFormat(QStringLiteral("0.0000"));
        d->Range(QStringLiteral("E5:E7"))->setHorizontalAlignment(3);
        d->Range(QStringLiteral("E5:E7"))->Font()->setBold(true);
        d->Range(QStringLiteral("E5:E7"))->Font()->setSize(10);
        d->Range(QStringLiteral("A5"))->Font()->setColorIndex(5);
        d->Range(QStringLiteral("D5"))->Font()->setUnderline(xlUnderlineStyleDouble);
        d->Range(QStringLiteral("K5"))->Font()->setUnderline(xlUnderlineStyleSingle);   // formatted, no value
        d->Range(QStringLiteral("A7"))->setHorizontalAlignment(4);
        d->Range(QStringLiteral("P:Q"))->EntireColumn()->setHidden(true);
        d->Columns(QStringLiteral("A"))->setColumnWidth(14.57);
        d->Columns(QStringLiteral("F"))->setColumnWidth(0.5);
        d->Rows(3)->setRowHeight(25.5);
        d->Rows(6)->EntireRow()->setHidden(true);
        d->Activate();
        app->ActiveWindow()->setZoom(75);
        d->Rows(QStringLiteral("5:5"))->Select();
        app->ActiveWindow()->setFreezePanes(true);
        d->Range(QStringLiteral("A5"))->Activate();
        s->Activate();
        s->Rows(QStringLiteral("4:4"))->Select();
        app->ActiveWindow()->setFreezePanes(true);
        z->setVisible(false);
        d->Activate();
        return wb;
    }

private slots:
    void init()
    {
        answers::reset();
        app = CreateApplication();
    }
    void cleanup() { app.reset(); }

    void savedAndReopenedCompareCellByCell()
    {
        BookPtr wb = fixture();
        const QString path = dir.filePath(QStringLiteral("CBook.xls"));
        wb->SaveAs(path);
        QVERIFY(wb->Saved());
        QCOMPARE(wb->Name(), QStringLiteral("CBook.xls"));
        QCOMPARE(wb->FullName(), path);

        AppPtr other = CreateApplication();
        BookPtr back = other->Workbooks()->Open(path);
        QCOMPARE(back->Worksheets()->Count(), 3);
        QCOMPARE(back->ActiveSheet()->Name(), QStringLiteral("Capture"));
        for (int i = 1; i <= 3; ++i) {
            const SheetData &a = wb->Worksheets(i)->data();
            const SheetData &b = back->Worksheets(i)->data();
            QCOMPARE(b.name, a.name);
            QCOMPARE(b.visible, a.visible);
            QCOMPARE(b.zoom, a.zoom);
            QCOMPARE(b.splitRow, a.splitRow);
            QCOMPARE(b.splitCol, a.splitCol);
            QCOMPARE(b.activeRow, a.activeRow);
            QCOMPARE(b.activeCol, a.activeCol);
            QCOMPARE(b.hiddenCols, a.hiddenCols);
            QCOMPARE(b.hiddenRows, a.hiddenRows);
            QCOMPARE(b.colWidth, a.colWidth);
            QCOMPARE(b.rowHeight, a.rowHeight);
            QCOMPARE(b.cellCount(), a.cellCount());
            QStringList differ;
            a.forEach([&](int r, int c, const Cell &ca) {
                const QString where = a.name + u'!' + columnLetters(c) + QString::number(r);
                const Cell *cb = b.find(r, c);
                if (!cb)
                    differ << where + QStringLiteral(" missing");
                else if (b.formulaText(*cb) != a.formulaText(ca) || b.value(r, c) != a.value(r, c)
                         || !(b.style(*cb) == a.style(ca)) || b.link(r, c) != a.link(r, c))
                    differ << where + u' ' + b.entryText(*cb) + QStringLiteral(" / ") + a.entryText(ca);
            });
            QVERIFY2(differ.isEmpty(), qPrintable(differ.join(u'\n')));
        }
        QCOMPARE(back->Worksheets(3)->Visible(), int(xlSheetHidden));
        QCOMPARE(back->Worksheets(1)->Range(QStringLiteral("S7"))->Value().number(), 310.25 * 0.3048);
        QCOMPARE(back->Worksheets(1)->Range(QStringLiteral("P5"))->Value().displayText(), QStringLiteral("#DIV/0!"));
        QCOMPARE(back->Worksheets(1)->Columns(QStringLiteral("F"))->ColumnWidth(), 0.5);
        // The reopened workbook computes afresh.
        back->Worksheets(2)->Range(QStringLiteral("D6"))->setValue(1);
        QCOMPARE(back->Worksheets(1)->Range(QStringLiteral("S7"))->Value().number(), 310.25);
    }

    void fileCachesTheResults()
    {
        BookPtr wb = fixture();
        const QString path = dir.filePath(QStringLiteral("cached.xlsx"));
        wb->SaveAs(path);
        const QString sheet = zipEntry(path, "xl/worksheets/sheet1.xml");
        QVERIFY(sheet.contains(QStringLiteral("<f>AVERAGE(E5:E7)</f><v>302.875</v>")));
        QVERIFY(sheet.contains(QStringLiteral("<f>STDEV(E5:E5)</f><v>#DIV/0!</v>")));
        QVERIFY(sheet.contains(QStringLiteral("zoomScale=\"75\"")));
        QVERIFY(zipEntry(path, "xl/workbook.xml").contains(QStringLiteral("state=\"hidden\"")));
    }

    void badFilesGive1004_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("asZip");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("text") << QByteArray("Sequence,Velocity\n1,295.5\n") << false;
        QTest::newRow("old binary workbook") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8).repeated(64) << false;
        QTest::newRow("zip without a workbook") << QByteArray("hello") << true;
        QTest::newRow("workbook of garbage") << QByteArray("<workbook><sheets><sheet") << true;
    }

    void badFilesGive1004()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, asZip);
        const QString path = dir.filePath(QStringLiteral("bad.xls"));
        if (asZip) {
            writeZip(path, {{"xl/workbook.xml", content}, {"readme.txt", content}});
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
        }
        QCOMPARE(errorOf([&] { app->Workbooks()->Open(path); }), 1004);
        QCOMPARE(app->Workbooks()->Count(), 0);
    }

    void damagedWorkbooksGive1004()
    {
        // A sound file cut short, and one whose sheet part is missing.
        BookPtr wb = fixture();
        const QString good = dir.filePath(QStringLiteral("good.xlsx"));
        wb->SaveAs(good);
        QFile g(good);
        QVERIFY(g.open(QIODevice::ReadOnly));
        const QByteArray all = g.readAll();
        const QString cut = dir.filePath(QStringLiteral("cut.xlsx"));
        QFile c(cut);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write(all.left(all.size() / 2));
        c.close();
        QCOMPARE(errorOf([&] { app->Workbooks()->Open(cut); }), 1004);
        const QString noSheet = dir.filePath(QStringLiteral("nosheet.xlsx"));
        writeZip(noSheet, {{"xl/workbook.xml", zipEntry(good, "xl/workbook.xml").toUtf8()},
                           {"xl/_rels/workbook.xml.rels", zipEntry(good, "xl/_rels/workbook.xml.rels").toUtf8()}});
        QCOMPARE(errorOf([&] { app->Workbooks()->Open(noSheet); }), 1004);
        QCOMPARE(app->Workbooks()->Count(), 1);
    }

    void openRules()
    {
        BookPtr wb = fixture();
        const QString path = dir.filePath(QStringLiteral("rules.xls"));
        wb->SaveAs(path);
        QCOMPARE(app->Workbooks()->Open(path).get(), wb.get());       // already open: the same workbook
        QDir().mkpath(dir.filePath(QStringLiteral("sub")));
        QVERIFY(QFile::copy(path, dir.filePath(QStringLiteral("sub/rules.xls"))));
        QCOMPARE(errorOf([&] { app->Workbooks()->Open(dir.filePath(QStringLiteral("sub/rules.xls"))); }), 1004);
        QVERIFY(wb->Close(false));
        BookPtr ro = app->Workbooks()->Open(path, true);
        QVERIFY(ro->ReadOnly());
        QCOMPARE(errorOf([&] { ro->Save(); }), 1004);
        // A bare name lands in the current folder.
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ro->SaveAs(QStringLiteral("CBook1.xls"));
        QDir::setCurrent(cwd);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("CBook1.xls"))));
        QVERIFY(!ro->ReadOnly());
    }

    void unwritableFolderFailsCleanly()
    {
        BookPtr wb = fixture();
        QCOMPARE(errorOf([&] { wb->SaveAs(QStringLiteral("/proc/vantrell-book.xls")); }), 1004);
        QCOMPARE(errorOf([&] { wb->SaveAs(dir.filePath(QStringLiteral("no/such/folder/book.xls"))); }), 1004);
        QVERIFY(!wb->Saved());
        QCOMPARE(wb->Name(), QStringLiteral("Book1"));
        // A name taken by a folder: nothing is written, no temporary stays behind.
        const QString taken = dir.filePath(QStringLiteral("taken.xls"));
        QDir().mkpath(taken + QStringLiteral("/inside"));
        QCOMPARE(errorOf([&] { wb->SaveAs(taken); }), 1004);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".taken*")}, QDir::Files | QDir::Hidden).size(), 0);
    }

    // A save that fails leaves the file already there whole, and no temporary
    // beside it: a write that fails for every user, root too, and for an
    // ordinary user also a folder that has become read-only.
    void existingFileKeptWhenSaveFails()
    {
        BookPtr wb = fixture();
        const QString folder = dir.filePath(QStringLiteral("kept"));
        QDir().mkpath(folder);
        const QString target = folder + QStringLiteral("/book.xls");
        wb->SaveAs(target);
        const QByteArray before = readAll(target);
        QVERIFY(before.size() > 1024);
        wb->Worksheets(1)->Range(QStringLiteral("A9"))->setValue(1);
        int rc = 0;
        {
            FileSizeLimit limit(1024);
            rc = errorOf([&] { wb->SaveAs(target); });
        }
        QCOMPARE(rc, 1004);
        QVERIFY(!wb->Saved());
        QCOMPARE(readAll(target), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("book.xls")});

        if (geteuid() != 0) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            rc = errorOf([&] { wb->SaveAs(target); });
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QCOMPARE(rc, 1004);
            QCOMPARE(readAll(target), before);
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("book.xls")});
        }
        // The same book saves once the write can succeed.
        wb->SaveAs(target);
        QVERIFY(readAll(target) != before);
    }

    // LibreOffice, made to recompute every formula when it loads a workbook
    // instead of showing the results the file caches, comes to our numbers.
    // It reads a copy whose cached results are all wrong, so what it shows
    // can only be its own calculation.
    void libreOfficeShowsTheSameNumbers()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed (./test.sh installs libreoffice-calc-nogui)");
        BookPtr wb = fixture();
        SheetPtr d = wb->Worksheets(1);
        const QString path = dir.filePath(QStringLiteral("calc.xlsx"));
        wb->SaveAs(path);

        const char *sheet = "xl/worksheets/sheet1.xml";
        QString xml = zipEntry(path, sheet);
        const QRegularExpression cached(QStringLiteral("(<f>[^<]*</f>)<v>[^<]*</v>"));
        QCOMPARE(xml.count(cached), 4);
        xml.replace(cached, QStringLiteral("\\1<v>1</v>"));
        const QString wrong = dir.filePath(QStringLiteral("wrong.xlsx"));
        QVERIFY(QFile::copy(path, wrong));
        replaceZipEntry(wrong, sheet, xml.toUtf8());

        // Recalculate on load, always.
        convertWithOffice(office, dir.filePath(QStringLiteral("profile")), 0,
                          QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"),
                          dir.path(), wrong);
        if (QTest::currentTestFailed())
            return;
        QFile csv(dir.filePath(QStringLiteral("wrong-Capture.csv")));
        QVERIFY2(csv.open(QIODevice::ReadOnly), "LibreOffice wrote no CSV of the Capture sheet");
        const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n');
        const QStringList row5 = lines.value(4).split(u',');
        const QStringList row7 = lines.value(6).split(u',');
        QCOMPARE(row7.value(13).toDouble(), d->Range(QStringLiteral("N7"))->Value().number());
        QCOMPARE(row7.value(13).toDouble(), 302.875);
        QCOMPARE(row7.value(18).toDouble(), d->Range(QStringLiteral("S7"))->Value().number());
        QVERIFY(qAbs(row7.value(18).toDouble() - 310.25 * 0.3048) < 1e-9);
        QCOMPARE(row7.value(19), d->Range(QStringLiteral("T7"))->Value().displayText());
        QCOMPARE(row5.value(15), d->Range(QStringLiteral("P5"))->Value().displayText()); // STDEV of one value: #DIV/0!
    }

    // Error values are stored as errors, results and constants alike, so
    // that other programs read an error and not a text that looks like one.
    void errorValuesStayErrors()
    {
        BookPtr wb = fixture();
        SheetPtr d = wb->Worksheets(1);
        d->Range(QStringLiteral("H5"))->setValue(CellError::NA);
        const QString path = dir.filePath(QStringLiteral("errors.xlsx"));
        wb->SaveAs(path);
        const QString xml = zipEntry(path, "xl/worksheets/sheet1.xml");
        QVERIFY(xml.contains(QRegularExpression(QStringLiteral("<c r=\"P5\"[^>]* t=\"e\"><f>STDEV\\(E5:E5\\)</f><v>#DIV/0!</v></c>"))));
        QVERIFY(xml.contains(QRegularExpression(QStringLiteral("<c r=\"H5\"[^>]* t=\"e\"><v>#N/A</v></c>"))));

        const auto check = [](const SheetPtr &s) {
            QVERIFY(s->Range(QStringLiteral("P5"))->Value().isError());
            QCOMPARE(s->Range(QStringLiteral("P5"))->Formula(), QStringLiteral("=STDEV(E5:E5)"));
            QVERIFY(s->Range(QStringLiteral("H5"))->Value() == Variant(CellError::NA));
            QCOMPARE(s->Range(QStringLiteral("N7"))->Value().number(), 302.875);
        };
        BookPtr back = app->Workbooks()->Open(path);
        check(back->Worksheets(1));
        back->Close(false);

        // LibreOffice, told never to recalculate on load, keeps what the file
        // says; its own copy of the workbook must hold the same errors.
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed (./test.sh installs libreoffice-calc-nogui)");
        const QString out = dir.filePath(QStringLiteral("office"));
        QDir().mkpath(out);
        convertWithOffice(office, dir.filePath(QStringLiteral("profile-never")), 1, QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
                          out, path);
        if (QTest::currentTestFailed())
            return;
        const QString copy = QDir(out).filePath(QStringLiteral("errors.xlsx"));
        QVERIFY2(QFile::exists(copy), "LibreOffice wrote no copy of the workbook");
        BookPtr office_ = app->Workbooks()->Open(copy);
        check(office_->Worksheets(QStringLiteral("Capture")));
        office_->Close(false);
    }
};

QTEST_MAIN(TestSheetFile)
#include "tst_sheetFile.moc"
