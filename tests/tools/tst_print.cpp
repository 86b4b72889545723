// Page setup, printing and the print preview of the active CFile, reached
// from File > Print. No printer is used: the current printer is the PDF file
// printer, and what it wrote is read back with pdfinfo and pdftotext.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/longwork.h"
#include "platform/msgbox.h"
#include "platform/printer.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "tools/frmXBoxPrn.h"
#include "tools/modEditorTools.h"
#include "tools/modPrint.h"

using namespace vt;
using vttest::boxTexts;

namespace {

void trigger(const char *item)
{
    QAction *a = menuItem(frmMDI::get(), QString::fromLatin1(item));
    QVERIFY2(a, item);
    a->setEnabled(true);
    a->trigger();
}

RichTextBox *newCFile(const QString &text)
{
    CreateNewCFile();
    RichTextBox *box = ActiveForm()->rtfText;
    box->SetText(text);
    return box;
}

QString lines(int first, int last)
{
    QStringList l;
    for (int i = first; i <= last; ++i)
        l << QStringLiteral("Line %1 of the printed CFile").arg(i);
    return l.join(QStringLiteral("\r\n"));
}

// The text rectangle PrintRTF lays pages out in, from the printable corner.
QRect printRect()
{
    const PageGeometry g = pageGeometry(Printer());
    const auto t = [](int32_t m) { return marginTwips(m); };
    return QRect(QPoint(t(PrnMargins.Left) - g.offsetX, t(PrnMargins.Top) - g.offsetY),
                 QPoint(g.pageWidth - t(PrnMargins.Right) - g.offsetX - 1,
                        g.pageHeight - t(PrnMargins.Bottom) - g.offsetY - 1));
}

int pagesOf(RichTextBox *box, const QRect &rc)
{
    int pages = 1;
    for (int at = 0;; ++pages) {
        const int next = box->FormatRange(nullptr, rc, at);
        if (next >= box->TextLength() || next <= at)
            break;
        at = next;
    }
    box->FormatRangeDone();
    return pages;
}

// A CFile of numbered lines that fills exactly `pages` pages in `rc`.
RichTextBox *cfileOfPages(int pages, const QRect &rc, int *lineCount)
{
    RichTextBox *box = newCFile(QString());
    int n = 20;
    for (; n < 2000; n += 5) {
        box->SetText(lines(1, n));
        if (pagesOf(box, rc) > pages)
            break;
    }
    // Back off to the last count that still gave `pages`.
    while (n > 1 && pagesOf(box, rc) > pages)
        box->SetText(lines(1, --n));
    *lineCount = n;
    return box;
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF pdfPageSize(const QString &pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QString pdfText(const QString &pdf, int page)
{
    return run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout", pdf, "-"});
}

// Where the first word of a page stands, in points from the sheet's corner.
QPointF firstWord(const QString &pdf, int page)
{
    const QString html = run("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    const auto m = QRegularExpression(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"")).match(html);
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

QStringList nonEmptyLines(const QString &text)
{
    QStringList out;
    for (const QString &l : text.split(u'\n'))
        if (!l.trimmed().isEmpty())
            out << l.trimmed();
    return out;
}

bool hasColour(const QImage &img, QRgb colour, const QRect &area)
{
    for (int y = std::max(0, area.top()); y <= std::min(img.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(img.width() - 1, area.right()); ++x)
            if (img.pixel(x, y) == colour)
                return true;
    return false;
}

bool inked(const QImage &img)
{
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            if (qGray(img.pixel(x, y)) < 128)
                return true;
    return false;
}

frmXBoxPrn *openPreview()
{
    trigger("mnuPrnPreview");
    return frmXBoxPrn::instance();
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        vttest::startEditor();
        installEditorTools();
        printer_testing::clear();
        Printer().setPageSize(QPageSize(QPageSize::Letter));
        Printer().setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
        PrnMargins = PrnMarginsRec();
        dir = std::make_unique<QTemporaryDir>();
        pdf = dir->filePath(QStringLiteral("out/print.pdf"));
        QDir().mkpath(dir->filePath(QStringLiteral("out")));
        SaveSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("PrintFile"), pdf);
    }
    void cleanup()
    {
        if (frmXBoxPrn::isLoaded())
            delete frmXBoxPrn::instance();
        installTools(nullptr);
        vttest::stopEditor();
        printer_testing::clear();
    }

    // --- page setup ---------------------------------------------------------

    void pageSetupRoundTrips_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<int>>("ltrb");
        QTest::newRow("unchanged") << "1000,500,1000,500" << QList<int>{1000, 500, 1000, 500};
        QTest::newRow("inches") << "0.75in,1in,1.25in,2in" << QList<int>{750, 1000, 1250, 2000};
        QTest::newRow("millimetres") << "25.4mm,12.7mm,19.05mm,50.8mm" << QList<int>{1000, 500, 750, 2000};
    }
    void pageSetupRoundTrips()
    {
        QFETCH(QString, answer);
        QFETCH(QList<int>, ltrb);
        PrnMargins.Orientation = 7;
        answers::queue(answer);
        trigger("mnuFilePageSetup");
        // The dialog starts from the margins held, left, top, right, bottom.
        QCOMPARE(answers::last().question.kind, QStringLiteral("page"));
        QVERIFY2(answers::last().question.text.endsWith(QStringLiteral("1000,500,1000,500")),
                 qPrintable(answers::last().question.text));
        QCOMPARE((QList<int>{PrnMargins.Left, PrnMargins.Top, PrnMargins.Right, PrnMargins.Bottom}), ltrb);
        QCOMPARE(PrnMargins.Orientation, int16_t(0));
        QVERIFY(boxTexts().isEmpty());
    }

    void pageSetupCancelledKeepsEverything()
    {
        PrnMargins = PrnMarginsRec{1100, 1200, 1300, 1400, 2, 0};
        answers::queue(QStringLiteral("Cancel"));
        trigger("mnuFilePageSetup");
        QCOMPARE((QList<int>{PrnMargins.Left, PrnMargins.Right, PrnMargins.Top, PrnMargins.Bottom,
                             PrnMargins.Orientation}),
                 (QList<int>{1100, 1200, 1300, 1400, 2}));
        QVERIFY(boxTexts().isEmpty()); // a cancel is no error
    }

    // --- printing -------------------------------------------------------------

    void printsEveryPageAtTheMargins_data()
    {
        QTest::addColumn<double>("offsetInches");
        QTest::newRow("no physical offset") << 0.0;
        QTest::newRow("quarter-inch offsets") << 0.25;
    }
    void printsEveryPageAtTheMargins()
    {
        QFETCH(double, offsetInches);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the printed file");
        Printer().setPageMargins(QMarginsF(offsetInches, offsetInches, offsetInches, offsetInches), QPageLayout::Inch);
        const PageGeometry g = pageGeometry(Printer());
        QCOMPARE(g.offsetX, CLng(offsetInches * 1440));
        QCOMPARE(g.pageWidth, 12240);
        PrnMargins.Left = 1000;
        PrnMargins.Top = 1000;
        int n = 0;
        cfileOfPages(3, printRect(), &n);
        trigger("mnuFilePrintNow");
        QVERIFY2(boxTexts().isEmpty(), qPrintable(boxTexts().join(" | ")));
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(pdfPages(pdf), 3);
        // Every line once, in order, across the three pages.
        QStringList got;
        for (int page = 1; page <= 3; ++page) {
            const QStringList l = nonEmptyLines(pdfText(pdf, page));
            QVERIFY2(!l.isEmpty(), qPrintable(QString("page %1 is empty").arg(page)));
            got << l;
            // One inch from the sheet's left and top edges, whatever the offsets.
            const QPointF at = firstWord(pdf, page);
            QVERIFY2(at.x() >= 71 && at.x() <= 76, qPrintable(QString("x %1 on page %2").arg(at.x()).arg(page)));
            QVERIFY2(at.y() >= 71 && at.y() <= 82, qPrintable(QString("y %1 on page %2").arg(at.y()).arg(page)));
        }
        QCOMPARE(got, lines(1, n).split(QStringLiteral("\r\n")));
        // The status bar tells where the file went.
        QVERIFY(frmMDI::get()->SXB->currentMessage().contains(QDir::toNativeSeparators(pdf)));
    }

    void fileGoesToTheDocumentsFolderByDefault()
    {
        DeleteSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("PrintFile"));
        // A home of the test's own, so that no real documents folder is touched.
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        const bool configSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("HOME", dir->filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("home/.config")).toLocal8Bit());
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", home);
            if (configSet)
                qputenv("XDG_CONFIG_HOME", config);
            else
                qunsetenv("XDG_CONFIG_HOME");
        });
        // Without a documents folder the file goes to the home folder; no
        // folder is made for it.
        QDir().mkpath(dir->filePath(QStringLiteral("home")));
        QCOMPARE(defaultPdfFile(), dir->filePath(QStringLiteral("home/Vantrell print.pdf")));
        QDir().mkpath(dir->filePath(QStringLiteral("home/Documents")));
        const QString expected = defaultPdfFile();
        QCOMPARE(expected, dir->filePath(QStringLiteral("home/Documents/Vantrell print.pdf")));
        newCFile(lines(1, 5));
        trigger("mnuFilePrintNow");
        QVERIFY2(boxTexts().isEmpty(), qPrintable(boxTexts().join(" | ")));
        QVERIFY(QFile::exists(expected));
        if (havePoppler())
            QCOMPARE(pdfPages(expected), 1); // a short CFile is one sheet
        // The status bar says where the file went, until its next message.
        QCOMPARE(frmMDI::get()->SXB->currentMessage(),
                 QStringLiteral("1 page printed to the PDF file ") + QDir::toNativeSeparators(expected));
    }

    // File > Print > Printer chooses the PDF file: the dialog shows the file
    // prints go to now, and the one chosen there is kept for the next prints
    // and the next start.
    void printerItemChoosesThePdfFile()
    {
        const QString chosen = dir->filePath(QStringLiteral("out/range, day 2.pdf"));
        answers::queue(QStringLiteral("OK,file=") + chosen);
        trigger("mnuPrintSetup");
        QCOMPARE(answers::last().question.kind, QStringLiteral("printer"));
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("PrintFile")), chosen);
        QCOMPARE(frmMDI::get()->SXB->currentMessage(),
                 QStringLiteral("Printing goes to the PDF file ") + QDir::toNativeSeparators(chosen));
        newCFile(lines(1, 5));
        trigger("mnuFilePrintNow");
        QVERIFY2(boxTexts().isEmpty(), qPrintable(boxTexts().join(" | ")));
        QVERIFY(QFile::exists(chosen));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(frmMDI::get()->SXB->currentMessage().endsWith(QDir::toNativeSeparators(chosen)));

        // A file in a folder that does not exist is named as such at once.
        answers::queue(QStringLiteral("OK,file=") + dir->filePath(QStringLiteral("nowhere/print.pdf")));
        trigger("mnuPrintSetup");
        QVERIFY2(frmMDI::get()->SXB->currentMessage().contains(QStringLiteral("does not exist")),
                 qPrintable(frmMDI::get()->SXB->currentMessage()));
    }

    void marginsWithoutRoomAbortCleanly_data()
    {
        QTest::addColumn<QList<int>>("ltrb");
        QTest::newRow("top and bottom fill the sheet") << QList<int>{1000, 5500, 1000, 5500};
        QTest::newRow("left and right cross") << QList<int>{5000, 500, 5000, 500};
        QTest::newRow("huge") << QList<int>{1000, 2000000000, 1000, 500};
    }
    void marginsWithoutRoomAbortCleanly()
    {
        QFETCH(QList<int>, ltrb);
        PrnMargins.Left = ltrb[0];
        PrnMargins.Top = ltrb[1];
        PrnMargins.Right = ltrb[2];
        PrnMargins.Bottom = ltrb[3];
        RichTextBox *box = newCFile(lines(1, 50));
        trigger("mnuFilePrintNow");
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY2(boxTexts()[0].contains(QStringLiteral("no room for a line")), qPrintable(boxTexts()[0]));
        QVERIFY(boxTexts()[0].contains(QStringLiteral("modAPI\\PrintRTF")));
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(Err.Number, 0);
        // The CFile is untouched and still prints once the margins fit.
        PrnMargins = PrnMarginsRec();
        trigger("mnuFilePrintNow");
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(box->TextLength(), lines(1, 50).size());
    }

    void failingPrinterAbortsTheJob()
    {
        int n = 0;
        cfileOfPages(2, printRect(), &n);
        printer_testing::failNextNewPage();
        trigger("mnuFilePrintNow");
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY2(boxTexts()[0].contains(QStringLiteral("cannot start a new page")), qPrintable(boxTexts()[0]));
        QVERIFY(!QFile::exists(pdf)); // the partial file is gone
        // The next job runs normally.
        trigger("mnuFilePrintNow");
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY(QFile::exists(pdf));
        if (havePoppler())
            QCOMPARE(pdfPages(pdf), 2);
    }

    // The end of the session stops a job at its next page, as Cancel does:
    // nothing half printed is left and no error is reported.
    void sessionEndStopsTheJob()
    {
        int n = 0;
        cfileOfPages(3, printRect(), &n);
        {
            longwork::Scope ending;
            longwork::requestStop();
            trigger("mnuFilePrintNow");
        }
        QVERIFY(boxTexts().isEmpty());
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(frmMDI::get()->SXB->currentMessage(), QStringLiteral("Printing cancelled"));
        trigger("mnuFilePrintNow");
        QVERIFY(QFile::exists(pdf));
    }

    // A folder that is not there (or is a file) is named, and nothing is made.
    void missingFolderIsNamed_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("fileInTheWay");
        QTest::newRow("missing") << "nowhere/deeper" << false;
        QTest::newRow("a file where the folder should be") << "blocker" << true;
    }
    void missingFolderIsNamed()
    {
        QFETCH(QString, folder);
        QFETCH(bool, fileInTheWay);
        const QString where = dir->filePath(folder);
        if (fileInTheWay) {
            QFile blocker(where);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        SaveSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("PrintFile"), where + QStringLiteral("/print.pdf"));
        newCFile(lines(1, 5));
        trigger("mnuFilePrintNow");
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY2(boxTexts()[0].contains(QStringLiteral("the folder ") + QDir::toNativeSeparators(where)
                                        + QStringLiteral(" of the PDF file "))
                     && boxTexts()[0].contains(QStringLiteral("does not exist")),
                 qPrintable(boxTexts()[0]));
        QCOMPARE(QFileInfo(where).isDir(), false);
        QCOMPARE(QFileInfo::exists(where), fileInTheWay);
    }

    // A full disk is named with the system's reason and the file, whether it
    // shows at a new page or only at the end; the device stays.
    void fullDiskIsNamed_data()
    {
        QTest::addColumn<int>("pages");
        QTest::newRow("one page") << 1;
        QTest::newRow("three pages") << 3;
    }
    void fullDiskIsNamed()
    {
        QFETCH(int, pages);
        if (!QFileInfo(QStringLiteral("/dev/full")).exists())
            QSKIP("/dev/full is needed for a disk that is full");
        SaveSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("PrintFile"), QStringLiteral("/dev/full"));
        int n = 0;
        cfileOfPages(pages, printRect(), &n);
        trigger("mnuFilePrintNow");
        QCOMPARE(boxTexts().size(), 1);
        const QString text = boxTexts()[0];
        QVERIFY2(text.contains(QStringLiteral("the disk is full: the PDF file /dev/full cannot be written (No space left on device)")),
                 qPrintable(text));
        QVERIFY(!frmMDI::get()->SXB->currentMessage().contains(QStringLiteral("printed")));
        QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists());
    }

    // --- print preview --------------------------------------------------------

    void previewPagesThroughTheCFile()
    {
        // The preview's sheet is Letter with the same margins as the printer's
        // sheet here, so it finds the same three pages.
        int n = 0;
        cfileOfPages(3, printRect(), &n);
        frmXBoxPrn *f = openPreview();
        QVERIFY(f);
        QCOMPARE(answers::last().question.title, QStringLiteral("Print Preview"));
        QCOMPARE(f->txtTotalPages->text(), QStringLiteral("of 3"));
        QCOMPARE(f->txtPage->text(), QStringLiteral("1"));
        QCOMPARE(f->cboZoom->currentText(), QStringLiteral(" 60"));
        QCOMPARE(f->cboZoom->count(), 8);
        QCOMPARE(f->cboZoom->itemText(0), QStringLiteral(" 100"));
        QCOMPARE(f->cboZoom->itemText(7), QStringLiteral(" 30"));
        // The text area of the factory margins on a portrait page.
        QCOMPARE(f->picX->widthTwips(), 12240);
        QCOMPARE(f->picX->heightTwips(), 15840);
        QCOMPARE(f->prvMargRect, QRect(QPoint(1440, 720), QPoint(10800 - 1, 15120 - 1)));
        // Both buttons are enabled until the first move.
        QVERIFY(f->cmdPrevPage->isEnabled());
        QVERIFY(f->cmdNextPage->isEnabled());

        // The margin lines are on the page shown, not on the print copy.
        const QRgb blue = qRgb(0, 0, 255);
        const int lx = 1440 * PagePicture::kDpi / 1440;
        const QRect marginColumn(lx - 1, 0, 3, f->picX->image.height());
        QVERIFY(hasColour(f->picX->image, blue, marginColumn));
        QVERIFY(!hasColour(f->picP->image, blue, f->picP->image.rect()));
        QVERIFY(inked(f->picP->image));
        const QImage page1 = f->picP->image;

        QTest::mouseClick(f->cmdPrevPage, Qt::LeftButton); // cannot move: nothing happens
        QCOMPARE(f->pagCur, int16_t(1));
        QCOMPARE(f->txtPage->text(), QStringLiteral("1"));
        QTest::mouseClick(f->cmdNextPage, Qt::LeftButton);
        QCOMPARE(f->txtPage->text(), QStringLiteral(" 2"));
        QVERIFY(f->cmdPrevPage->isEnabled());
        QVERIFY(f->picP->image != page1);
        QTest::mouseClick(f->cmdNextPage, Qt::LeftButton);
        QCOMPARE(f->txtPage->text(), QStringLiteral(" 3"));
        QVERIFY(!f->cmdNextPage->isEnabled());
        const QImage page3 = f->picP->image;
        QTest::mouseClick(f->cmdPrevPage, Qt::LeftButton);
        QTest::mouseClick(f->cmdPrevPage, Qt::LeftButton);
        QCOMPARE(f->txtPage->text(), QStringLiteral(" 1"));
        QVERIFY(!f->cmdPrevPage->isEnabled());
        QCOMPARE(f->picP->image, page1); // the same rendering again
        // Typing a page number does not move there.
        f->txtPage->setText(QStringLiteral("3"));
        QTest::keyClick(f->txtPage, Qt::Key_Return);
        QCOMPARE(f->pagCur, int16_t(1));
        QVERIFY(page3 != page1);

        QTest::mouseClick(f->cmdClose, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmXBoxPrn::isLoaded());
    }

    void previewZoomSteps()
    {
        newCFile(lines(1, 10));
        frmXBoxPrn *f = openPreview();
        const auto shownWidth = [f] { return f->picZ->width(); };
        QCOMPARE(shownWidth(), TwipsToPixels(12240 * 600 / 1000));
        QCOMPARE(f->picZ->toolTip(), QStringLiteral("Click to Zoom in"));
        QTest::mouseClick(f->cmdZoomIn, Qt::LeftButton);
        QCOMPARE(f->cboZoom->currentText(), QStringLiteral(" 70"));
        QCOMPARE(shownWidth(), TwipsToPixels(12240 * 700 / 1000));
        QCOMPARE(f->picZ->toolTip(), QStringLiteral("Click to Zoom In"));
        QCOMPARE(BackColor(f->cmdZoomIn), 0x00FF00u);
        QCOMPARE(BackColor(f->cmdZoomOut), 0xC0C0C0u);
        // A right click on the page zooms out a step and turns the direction.
        QTest::mouseClick(f->picZ, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(f->cboZoom->currentText(), QStringLiteral(" 60"));
        QCOMPARE(f->zoomDir, int16_t(0));
        QCOMPARE(f->picZ->toolTip(), QStringLiteral("Click to Zoom Out"));
        QCOMPARE(BackColor(f->cmdZoomOut), 0x00FF00u);
        // To the smallest step; a further step out changes only the cues.
        for (int i = 0; i < 5; ++i)
            QTest::mouseClick(f->picZ, Qt::RightButton, {}, QPoint(2, 2));
        QCOMPARE(f->cboZoom->currentText(), QStringLiteral(" 30"));
        QVERIFY(!f->cmdZoomOut->isEnabled());
        f->cmdZoomOut_Click();
        QCOMPARE(f->zoomIdx, int16_t(7));
        QCOMPARE(shownWidth(), TwipsToPixels(12240 * 300 / 1000));
        // The list chooses a step directly; 100 % is the page unscaled.
        f->cboZoom->setCurrentIndex(0);
        QCOMPARE(f->picZ->image.size(), f->picX->image.size());
        QCOMPARE(shownWidth(), TwipsToPixels(12240));
        QVERIFY(!f->cmdZoomIn->isEnabled());
        QTest::mouseClick(f->picZ, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f->zoomIdx, int16_t(0));
        QCOMPARE(f->zoomDir, int16_t(1));
        // A page larger than its box scrolls; the scroll moves the page.
        f->show();
        f->resize(400, 400);
        QCoreApplication::processEvents();
        QVERIFY(f->VScroY->isVisibleTo(f));
        f->VScroY->setValue(f->VScroY->maximum());
        QVERIFY(f->picZ->y() < 0);
    }

    void landscapePreviewPrintsTheShownPage()
    {
        Printer().setPageOrientation(QPageLayout::Landscape);
        int n = 0;
        cfileOfPages(2, QRect(QPoint(1440, 720), QPoint(15840 - 1440 - 1, 12240 - 720 - 1)), &n);
        frmXBoxPrn *f = openPreview();
        QCOMPARE(f->prvOrient, int16_t(2));
        QCOMPARE(f->picX->widthTwips(), 15840);
        QCOMPARE(f->picX->heightTwips(), 12240);
        QCOMPARE(f->txtTotalPages->text(), QStringLiteral("of 2"));
        QTest::mouseClick(f->cmdNextPage, Qt::LeftButton);
        QTest::mouseClick(f->cmdPrint, Qt::LeftButton);
        QVERIFY2(boxTexts().isEmpty(), qPrintable(boxTexts().join(" | ")));
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(printerOrientation(Printer()), 2);
        if (!havePoppler())
            QSKIP("pdfinfo (poppler-utils) is needed to read the printed file");
        QCOMPARE(pdfPages(pdf), 1);
        const QSizeF size = pdfPageSize(pdf);
        QVERIFY2(size.width() > size.height(), qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
    }

    void previewWithMarginsWithoutRoomEnds()
    {
        PrnMargins.Top = 5600;
        PrnMargins.Bottom = 5600;
        newCFile(lines(1, 300));
        frmXBoxPrn *f = openPreview();
        QCOMPARE(f->txtTotalPages->text(), QStringLiteral("of 1"));
        QVERIFY(f->prvNoRoom);
        QTest::mouseClick(f->cmdNextPage, Qt::LeftButton);
        QCOMPARE(f->pagCur, int16_t(1));
        // The page setup brings the room back: page 1 again, with a new count.
        answers::queue(QStringLiteral("1000,500,1000,500"));
        QTest::mouseClick(f->cmdPageSetup, Qt::LeftButton);
        QVERIFY(!f->prvNoRoom);
        QCOMPARE(f->prvMargRect, QRect(QPoint(1440, 720), QPoint(10800 - 1, 15120 - 1)));
        QVERIFY(f->pagCount > 1);
        QCOMPARE(f->txtPage->text(), QStringLiteral("1"));
        QCOMPARE(f->txtTotalPages->text(), QStringLiteral("of ") + QString::number(f->pagCount));
        // A cancelled setup starts at page 1 again too.
        QTest::mouseClick(f->cmdNextPage, Qt::LeftButton);
        answers::queue(QStringLiteral("Cancel"));
        QTest::mouseClick(f->cmdPageSetup, Qt::LeftButton);
        QCOMPARE(f->pagCur, int16_t(1));
    }

    void previewWithoutCFile()
    {
        for (frmDocument *doc : openCFiles())
            doc->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmXBoxPrn *f = openPreview();
        QCOMPARE(f->txtTotalPages->text(), QStringLiteral("of 0"));
        // The placeholder pattern stays, with the margin lines over it.
        QVERIFY(hasColour(f->picX->image, qRgb(255, 0, 255), f->picX->image.rect()));
        QVERIFY(hasColour(f->picX->image, qRgb(0, 0, 255), f->picX->image.rect()));
        QTest::mouseClick(f->cmdNextPage, Qt::LeftButton);
        QCOMPARE(f->pagCur, int16_t(1));
        QTest::mouseClick(f->cmdPrint, Qt::LeftButton);
        QCOMPARE(answers::last().question.text, QStringLiteral("No Open CFile !"));
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));
        QCOMPARE(answers::last().question.buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(!QFile::exists(pdf));
    }

    void everyControlIsNamed()
    {
        newCFile(lines(1, 3));
        frmXBoxPrn *f = openPreview();
        for (QWidget *w : f->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(f) || w->focusPolicy() == Qt::NoFocus)
                continue;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString pdf;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
