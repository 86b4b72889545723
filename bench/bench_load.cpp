// Opening CFiles of several sizes as the program opens them (File > Open's
// load into the active CFile, with its progress box): RTF CFiles of the kind
// the program writes and plain-text files of the same size. For each, the
// time until the first screen of the CFile is painted, until the load has
// returned (every paragraph in the box), and until the whole document is laid
// out; with the processor time of the whole process beside them. Each size's
// time per MB is compared with the first size's, measured in the same run:
// loading is to grow in proportion to the file.
//
// Each load runs in a child process of its own, so that its peak memory and
// its caches are its own. --max-ratio turns the comparison (processor time per
// MB until laid out) into a pass or fail (exit code 3). --libreoffice also
// times LibreOffice headless converting each RTF file of 10 MB or less,
// beside our open-to-first-screen time.
//
//   bench_load [--sizes MB,MB,...] [--max-ratio R] [--libreoffice]
//              (VT_BENCH_REPS repetitions, default 3; one for files above 20 MB)

#include "common/benchutil.h"
#include "common/cfilegen.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modStartNbrs.h"
#include "tools/modSubsystems.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cstdio>
#include <ctime>

namespace {

QString workDir() { return qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/"); }
QString rtfPath(int i) { return workDir() + QStringLiteral("cfile-%1.rtf").arg(i); }
QString plainPath(int i) { return workDir() + QStringLiteral("cfile-%1.txt").arg(i); }
QString resultPath(const QString &kind, int i) { return workDir() + QStringLiteral("result-%1-%2").arg(kind).arg(i); }

double processSeconds()
{
    timespec t {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Writes the RTF CFile of at least `mb` megabytes and a plain-text file of
// the same size made of the same lines.
bool generate(int i, double mb, bench::SimShotLines &shots)
{
    const bench::GeneratedCFile cfile = bench::generateCFile(qint64(mb * 1024 * 1024), shots);
    const QByteArray text = cfile.document.plainText().toLatin1();
    QByteArray plain;
    plain.reserve(cfile.rtf.size() + text.size());
    while (plain.size() < cfile.rtf.size())
        plain += text;
    const qsizetype cut = plain.lastIndexOf("\r\n", cfile.rtf.size() - 1);
    plain.truncate(cut > 0 ? cut + 2 : cfile.rtf.size());
    if (!bench::writeFile(rtfPath(i), cfile.rtf) || !bench::writeFile(plainPath(i), plain)) {
        std::fprintf(stderr, "Cannot write the generated files in %s\n", qPrintable(workDir()));
        return false;
    }
    bench::figure(QStringLiteral("load cfile"), bench::megabytes(cfile.rtf.size())
                      + QStringLiteral(" RTF, %1 paragraphs; plain text %2")
                            .arg(cfile.document.paragraphs.size())
                            .arg(bench::megabytes(plain.size())));
    return true;
}

// Notes the first paint of the box's viewport that shows text.
class FirstPaint : public QObject {
public:
    FirstPaint(vt::RichTextBox *box, const bench::Stopwatch &clock) : box_(box), clock_(clock)
    {
        box_->viewport()->installEventFilter(this);
    }
    double seconds() const { return seconds_; }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (seconds_ < 0 && e->type() == QEvent::Paint && box_ && box_->document()->characterCount() > 1)
            seconds_ = clock_.seconds();
        return false;
    }

private:
    QPointer<vt::RichTextBox> box_;     // the filter goes with the box
    const bench::Stopwatch &clock_;
    double seconds_ = -1;
};

// A child process: one file loaded `reps` times into a fresh CFile; writes
// the medians (first screen, loaded, laid out, processor time, peak memory).
int stage(const QString &kind, int i, int reps)
{
    const bool rich = kind == QLatin1String("rtf");
    const QString path = rich ? rtfPath(i) : plainPath(i);
    vt::installSubsystems();
    vt::frmMDI::get()->show();
    QCoreApplication::processEvents();
    const qint64 before = bench::residentBytes();
    bench::resetPeak();
    std::vector<double> first, loaded, laid, cpu;
    for (int r = 0; r < reps; ++r) {
        vt::CreateNewCFile();
        vt::frmDocument *doc = vt::ActiveForm();
        if (!doc) {
            std::fprintf(stderr, "No CFile to load into\n");
            return 1;
        }
        QCoreApplication::processEvents();
        vt::RichTextBox *box = doc->rtfText;
        const double cpu0 = processSeconds();
        bench::Stopwatch clock;
        FirstPaint paint(box, clock);
        vt::nbrEditor().loadActiveCFile(path, rich);
        loaded.push_back(clock.seconds());
        // A small file is loaded in one go; its first screen is painted once
        // the events run.
        while (paint.seconds() < 0 && clock.seconds() < 60)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        box->document()->documentLayout()->documentSize();
        laid.push_back(clock.seconds());
        cpu.push_back(processSeconds() - cpu0);
        first.push_back(paint.seconds());
        const QTextBlock last = box->document()->lastBlock();
        if (box->TextLength() == 0 || !last.layout() || last.layout()->lineCount() == 0) {
            std::fprintf(stderr, "The CFile is not ready after the load of %s\n", qPrintable(path));
            return 1;
        }
        doc->bChanged = false;
        doc->close();
        QCoreApplication::processEvents();
    }
    QFile out(resultPath(kind, i));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    out.write(QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                  .arg(bench::median(first))
                  .arg(bench::median(loaded))
                  .arg(bench::median(laid))
                  .arg(bench::median(cpu))
                  .arg(bench::peakResidentBytes())
                  .arg(before)
                  .toLatin1());
    return 0;
}

struct Timing {
    double first = 0, loaded = 0, laid = 0, cpu = 0;
    qint64 peak = 0, before = 0;
};

bool readResult(const QString &kind, int i, Timing *t)
{
    QFile in(resultPath(kind, i));
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> v = in.readAll().trimmed().split(' ');
    if (v.size() != 6)
        return false;
    *t = {v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(), v[4].toLongLong(), v[5].toLongLong()};
    return true;
}

// LibreOffice headless converting the RTF file, with a profile of its own;
// seconds, or a negative number when it failed or took more than five
// minutes. Debian's headless LibreOffice is Calc alone: the file goes through
// Calc's RTF import and out as CSV.
double libreOffice(const QString &soffice, const QString &path)
{
    const QString profile = workDir() + QStringLiteral("lo-profile");
    const QString outDir = workDir() + QStringLiteral("lo-out");
    QDir().mkpath(outDir);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    bench::Stopwatch w;
    p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
                      QStringLiteral("--infilter=Rich Text Format (StarCalc)"), QStringLiteral("--convert-to"),
                      QStringLiteral("csv"), QStringLiteral("--outdir"), outDir, path});
    if (!p.waitForStarted() || !p.waitForFinished(300000) || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    const double s = w.seconds();
    return QFileInfo::exists(outDir + u'/' + QFileInfo(path).completeBaseName() + QStringLiteral(".csv")) ? s : -1;
}

int run(const std::vector<double> &sizes, double maxRatio, bool withLibreOffice)
{
    {
        bench::SimShotLines shots;
        QString error;
        if (!shots.start(&error)) {
            std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
            return 1;
        }
        for (size_t i = 0; i < sizes.size(); ++i)
            if (!generate(int(i), sizes[i], shots))
                return 1;
    }
    const QString soffice = withLibreOffice ? QStandardPaths::findExecutable(QStringLiteral("soffice")) : QString();
    if (withLibreOffice && soffice.isEmpty())
        bench::figure(QStringLiteral("load libreoffice"), QStringLiteral("soffice not found, not compared"));
    // LibreOffice's first start sets up its profile: not part of a conversion.
    // Its start-up on its own is the conversion of an RTF file of one line.
    double loStart = 0;
    if (!soffice.isEmpty()) {
        const QString tiny = workDir() + QStringLiteral("tiny.rtf");
        bench::writeFile(tiny, "{\\rtf1 one line\\par}");
        libreOffice(soffice, tiny);
        loStart = libreOffice(soffice, tiny);
        bench::figure(QStringLiteral("load libreoffice"),
                      QStringLiteral("start-up (an RTF file of one line converted) %1 s").arg(loStart, 0, 'f', 3));
    }

    bool passed = true;
    for (const char *k : {"rtf", "plain"}) {
        const QString kind = QString::fromLatin1(k);
        double referencePerMb = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            const QString path = kind == QLatin1String("rtf") ? rtfPath(int(i)) : plainPath(int(i));
            const qint64 bytes = QFileInfo(path).size();
            const double mb = double(bytes) / (1024.0 * 1024.0);
            const int reps = bench::repetitions(mb > 20 ? 1 : 3);
            Timing t;
            if (bench::runStage({QStringLiteral("--stage"), kind, QString::number(i), QString::number(reps)}) != 0
                || !readResult(kind, int(i), &t)) {
                std::fprintf(stderr, "The %s load of %s failed\n", k, qPrintable(path));
                return 1;
            }
            const double perMb = t.cpu / mb;
            if (i == 0)
                referencePerMb = perMb;
            QString line = QStringLiteral("%1 first screen %2 s, loaded %3 s, laid out %4 s; processor %5 s, %6 s/MB")
                               .arg(bench::megabytes(bytes))
                               .arg(t.first, 0, 'f', 3)
                               .arg(t.loaded, 0, 'f', 3)
                               .arg(t.laid, 0, 'f', 3)
                               .arg(t.cpu, 0, 'f', 3)
                               .arg(perMb, 0, 'f', 3);
            if (i > 0)
                line += QStringLiteral(" = %1 x the first size's").arg(perMb / referencePerMb, 0, 'f', 2);
            line += QStringLiteral("  (median of %1)").arg(reps);
            bench::figure(QStringLiteral("load %1").arg(kind), line);
            bench::figure(QStringLiteral("load %1 peak memory").arg(kind),
                          bench::megabytes(t.peak)
                              + QStringLiteral("  (resident before the stage %1)").arg(bench::megabytes(t.before)));
            if (i > 0 && maxRatio > 0 && perMb > maxRatio * referencePerMb) {
                bench::figure(QStringLiteral("load check"),
                              QStringLiteral("FAILED: %1 %2 costs %3 x the first size's processor time per MB, more than %4 x")
                                  .arg(kind, bench::megabytes(bytes))
                                  .arg(perMb / referencePerMb, 0, 'f', 2)
                                  .arg(maxRatio));
                passed = false;
            }
            if (!soffice.isEmpty() && kind == QLatin1String("rtf") && mb <= 10.5) {
                const double lo = libreOffice(soffice, path);
                bench::figure(QStringLiteral("load libreoffice"),
                              lo < 0 ? QStringLiteral("%1: the conversion failed").arg(bench::megabytes(bytes))
                                     : QStringLiteral("%1 converted in %2 s = %3 x our first screen (%4 x without "
                                                      "its start-up)")
                                           .arg(bench::megabytes(bytes))
                                           .arg(lo, 0, 'f', 3)
                                           .arg(lo / t.first, 0, 'f', 1)
                                           .arg((lo - loStart) / t.first, 0, 'f', 1));
            }
        }
    }
    if (passed && maxRatio > 0)
        bench::figure(QStringLiteral("load check"), QStringLiteral("passed"));
    return passed ? 0 : 3;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        if (args.size() >= 5 && args[1] == QLatin1String("--stage"))
            return stage(args[2], args[3].toInt(), args[4].toInt());
        std::vector<double> sizes{1, 10};
        double maxRatio = 0;
        bool lo = false, ok = true;
        for (qsizetype i = 1; i < args.size() && ok; ++i) {
            if (args[i] == QLatin1String("--libreoffice")) {
                lo = true;
            } else if (args[i] == QLatin1String("--max-ratio") && i + 1 < args.size()) {
                maxRatio = args[++i].toDouble(&ok);
            } else if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
                ok = bench::parseSizesMb(args[++i], sizes);
            } else {
                ok = false;
            }
        }
        if (!ok || sizes.empty()) {
            std::fprintf(stderr, "usage: bench_load [--sizes MB,MB,...] [--max-ratio R] [--libreoffice]\n");
            return 2;
        }
        return run(sizes, maxRatio, lo);
    });
}
