// RTF benchmark: a 10 MB CFile of the kind the program writes, read into the
// rich-text box (parse + layout until the box is ready), written back, and a
// plain-text file of the same size loaded. Each stage runs in a child process
// of its own, so its peak memory is its own.
//
//   bench_rtf [--size MB]        (VT_BENCH_REPS sets the repetitions, default 5)

#include "common/benchutil.h"
#include "common/cfilegen.h"

#include "platform/richtext.h"
#include "platform/rtfmodel.h"
#include "platform/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdio>

namespace {

using namespace vt::rtf;

struct Files {
    QString rtf, plain, saved;
};

Files files()
{
    const QString work = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/");
    return {work + QStringLiteral("cfile.rtf"), work + QStringLiteral("cfile.txt"), work + QStringLiteral("saved.rtf")};
}

// Writes the CFile (at least `target` bytes of RTF) and a plain-text file of
// the same size made of the same lines.
bool generate(qint64 target)
{
    bench::SimShotLines shots;
    QString error;
    if (!shots.start(&error)) {
        std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
        return false;
    }
    const bench::GeneratedCFile cfile = bench::generateCFile(target, shots);
    const QByteArray &rtf = cfile.rtf;

    QByteArray plain;
    const QByteArray text = cfile.document.plainText().toLatin1();
    while (plain.size() < rtf.size())
        plain += text;
    const qsizetype cut = plain.lastIndexOf("\r\n", rtf.size() - 1);
    plain.truncate(cut > 0 ? cut + 2 : rtf.size());

    const Files f = files();
    if (!bench::writeFile(f.rtf, rtf) || !bench::writeFile(f.plain, plain)) {
        std::fprintf(stderr, "Cannot write the generated files in %s\n", qPrintable(QFileInfo(f.rtf).path()));
        return false;
    }
    bench::figure(QStringLiteral("rtf cfile"), bench::megabytes(rtf.size())
                      + QStringLiteral(" RTF, %1 paragraphs, %2 sessions; plain text %3")
                            .arg(cfile.document.paragraphs.size())
                            .arg(cfile.sessions)
                            .arg(bench::megabytes(plain.size())));
    return true;
}

// Until the box is ready: the whole document laid out at the box's width.
void settle(vt::RichTextBox &box)
{
    box.document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
}

bool laidOut(const vt::RichTextBox &box)
{
    const QTextBlock last = box.document()->lastBlock();
    return last.isValid() && last.layout() && last.layout()->lineCount() > 0;
}

QString timing(qint64 bytes, const std::vector<double> &times)
{
    const double med = bench::median(times);
    return bench::rate(double(bytes) / (1024.0 * 1024.0) / med, "MB/s")
        + QStringLiteral("  (%1, median of %2: %3 s)").arg(bench::megabytes(bytes)).arg(times.size()).arg(med, 0, 'f', 3);
}

QString memory(qint64 peak, qint64 before)
{
    return bench::megabytes(peak) + QStringLiteral("  (resident before the stage %1)").arg(bench::megabytes(before));
}

// A child process: one stage, `reps` times.
int stage(const QString &name, int reps)
{
    const Files f = files();
    vt::RichTextBox box;
    box.resize(900, 700);
    box.show();
    QCoreApplication::processEvents();

    if (name == QLatin1String("load") || name == QLatin1String("plain")) {
        const bool rich = name == QLatin1String("load");
        const QString path = rich ? f.rtf : f.plain;
        const qint64 before = bench::residentBytes();
        bench::resetPeak();
        std::vector<double> times;
        for (int r = 0; r < reps; ++r) {
            box.SetText(QString());
            QCoreApplication::processEvents();
            bench::Stopwatch w;
            box.LoadFile(path, rich ? vt::RichTextBox::rtfRTF : vt::RichTextBox::rtfText);
            settle(box);
            times.push_back(w.seconds());
            if (!laidOut(box) || box.TextLength() == 0) {
                std::fprintf(stderr, "The box is not ready after the load of %s\n", qPrintable(path));
                return 1;
            }
        }
        const QString label = rich ? QStringLiteral("rtf load (parse + layout)") : QStringLiteral("plain load (+ layout)");
        bench::figure(label, timing(QFileInfo(path).size(), times));
        bench::figure(rich ? QStringLiteral("rtf load peak memory") : QStringLiteral("plain load peak memory"),
                      memory(bench::peakResidentBytes(), before));
        return 0;
    }
    if (name == QLatin1String("parse")) {
        QFile in(f.rtf);
        if (!in.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = in.readAll();
        std::vector<double> times;
        for (int r = 0; r < reps; ++r) {
            bench::Stopwatch w;
            const ReadResult read = readRtf(bytes);
            times.push_back(w.seconds());
            if (!read.complete || read.document.paragraphs.empty()) {
                std::fprintf(stderr, "The reader did not read the whole CFile\n");
                return 1;
            }
        }
        bench::figure(QStringLiteral("rtf parse (reader alone, no box)"), timing(bytes.size(), times));
        return 0;
    }
    if (name == QLatin1String("save")) {
        box.LoadFile(f.rtf);
        settle(box);
        const qint64 before = bench::residentBytes();
        bench::resetPeak();
        std::vector<double> times;
        for (int r = 0; r < reps; ++r) {
            bench::Stopwatch w;
            box.SaveFile(f.saved);
            times.push_back(w.seconds());
        }
        bench::figure(QStringLiteral("rtf save"), timing(QFileInfo(f.saved).size(), times));
        bench::figure(QStringLiteral("rtf save peak memory"), memory(bench::peakResidentBytes(), before));
        return 0;
    }
    std::fprintf(stderr, "Unknown stage %s\n", qPrintable(name));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        const int reps = bench::repetitions(5);
        if (args.size() >= 3 && args[1] == QLatin1String("--stage"))
            return stage(args[2], reps);
        double mb = 10;
        if (args.size() >= 3 && args[1] == QLatin1String("--size"))
            mb = args[2].toDouble();
        if (mb <= 0) {
            std::fprintf(stderr, "usage: bench_rtf [--size MB]\n");
            return 2;
        }
        if (!generate(qint64(mb * 1024 * 1024)))
            return 1;
        int rc = 0;
        for (const char *s : {"parse", "load", "save", "plain"}) {
            if (bench::runStage({QStringLiteral("--stage"), QString::fromLatin1(s)}) != 0) {
                std::fprintf(stderr, "Stage %s failed\n", s);
                rc = 1;
            }
        }
        return rc;
    });
}
