#include "common/xlfixture.h"

#include "export/modExpExc.h"
#include "export/xltemplate.h"
#include "platform/errors.h"
#include "platform/progfolder.h"
#include "serial/modRxEngine.h"
#include "shell/frmFPrgrs.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

#include <QFile>
#include <cmath>
#include <functional>

namespace vttest {

using namespace vt;

void seedTemplate()
{
    for (const QString &name : {XlTemplateName, XlPristineName})
        QFile::remove(programFile(name));
    seedProgramFolder();
}

QString programFile(const QString &name) { return programFolder() + u'/' + name; }

void unitsAsReported()
{
    vt::CroSta.croVelUnits = QStringLiteral("f/s");
    vt::CroSta.croTimUnits = QStringLiteral("sec");
    vt::CroSta.croTmpUnits = QStringLiteral("fah");
}

void resetExport()
{
    if (xlApp) {
        xlClosing = true;
        trapErrors([] {
            for (int n = xlApp->Workbooks()->Count(); n > 0; --n)
                xlApp->Workbooks(n)->Close(false);
        });
        trapErrors([] { xlApp->Quit(); });
    }
    xlEvents.reset();
    xlApp.reset();
    xlConnected = xlClosing = xlOpening = xlBookOk = xlLinked = false;
    XlSes = XlSession();
    EDiskPrs = EDiskParse();
    CapExport.capShotOk = CapExport.capNewBlk = CapExport.capBlkPend = false;
    expParts = ExpParts();
    if (frmFPrgrs::isLoaded())
        frmFPrgrs::instance()->unload();
    for (const char *v : {"VANTRELL_NO_SPREADSHEET", "VANTRELL_SPREADSHEET_VERSION", "VANTRELL_SPREADSHEET_NOT_READY"})
        qunsetenv(v);
    Err.Clear();
}

void changeTemplate(const std::function<void(const vt::xl::BookPtr &)> &change)
{
    xl::AppPtr app = xl::CreateApplication();
    xl::BookPtr wb = app->Workbooks()->Open(programFile(XlTemplateName));
    change(wb);
    wb->SaveAs(programFile(XlTemplateName));
    wb->Close(false);
}

QString shotLines(int n, int first, int block)
{
    QString t;
    t.reserve(n * 58);
    for (int k = first; k < first + n; ++k) {
        const QString count = QString::number(k).rightJustified(5, u'0');
        t += QStringLiteral("CAP:") + count + u' ' + QString::number(200 + k % 100)
             + QStringLiteral(".5 f/s 0.100 sec 72 fah 01:01_Av 250.0\r\n");
        if (block > 0 && (k - first + 1) % block == 0)
            t += QStringLiteral("CAP:") + count + QStringLiteral(" <End>\r\n");
    }
    return t;
}

QList<double> shotRowValues(const vt::xl::SheetPtr &ws, int row)
{
    QList<double> values;
    for (int c = 1; c <= 16; ++c)
        values << ws->Cells(row, c)->Value().number();
    return values;
}

double mean(const QList<double> &v)
{
    double s = 0;
    for (double x : v)
        s += x;
    return s / double(v.size());
}

double sampleStdev(const QList<double> &v)
{
    const double m = mean(v);
    double sq = 0;
    for (double x : v)
        sq += (x - m) * (x - m);
    return std::sqrt(sq / double(v.size() - 1));
}

} // namespace vttest
