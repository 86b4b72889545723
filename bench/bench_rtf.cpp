// RTF benchmark: a 10 MB CFile of the kind the program writes, read into the
// rich-text box (parse + layout until the box is ready), written back, and a
// plain-text file of the same size loaded. Each stage runs in a child process
// of its own, so its peak memory is its own.
//
//   bench_rtf [--size MB]        (VT_BENCH_REPS sets the repetitions, default 5)

#include "common/benchutil.h"

#include "chrono/modCroCox.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/rtfmodel.h"
#include "platform/rtfreader.h"
#include "platform/rtfwriter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdio>

namespace {

using namespace vt::rtf;

CharFormat charFormat(const char *font, double size, bool bold = false, bool italic = false,
                      std::optional<QRgb> color = std::nullopt)
{
    CharFormat f;
    f.font = QString::fromLatin1(font);
    f.size = size;
    f.bold = bold;
    f.italic = italic;
    f.color = color;
    return f;
}

const CharFormat kBase = charFormat("Courier New", 10);
const CharFormat kVelocity = charFormat("Courier New", 10, true, false, qRgb(0, 0, 128));
const CharFormat kAverage = charFormat("Courier New", 10, false, false, qRgb(0, 128, 0));
const CharFormat kStats = charFormat("Courier New", 10, false, true, qRgb(128, 128, 128));
const CharFormat kBlockEnd = charFormat("Courier New", 10, true);
const CharFormat kRem = charFormat("Tahoma", 9, false, true, qRgb(0, 100, 0));
const CharFormat kTag = charFormat("Courier New", 10, true, false, qRgb(128, 0, 0));
const CharFormat kTitle = charFormat("Tahoma", 14, true, false, qRgb(0, 0, 128));
const CharFormat kNotes = charFormat("Tahoma", 10);
const CharFormat kNotesBold = charFormat("Tahoma", 10, true);

// Appends text as the program appends to a CFile: CR LF ends a paragraph.
class CFileBuilder {
public:
    CFileBuilder() { doc_.paragraphs.emplace_back(); }
    void setParagraph(const ParaFormat &f) { doc_.paragraphs.back().format = f; }
    void append(const QString &text, const CharFormat &f)
    {
        const QStringList parts = text.split(QStringLiteral("\r\n"));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                doc_.paragraphs.emplace_back();
                doc_.paragraphs.back().format = doc_.paragraphs[doc_.paragraphs.size() - 2].format;
            }
            Paragraph &p = doc_.paragraphs.back();
            p.endFormat = f;
            if (parts[i].isEmpty())
                continue;
            if (!p.runs.empty() && p.runs.back().format == f)
                p.runs.back().text += parts[i];
            else
                p.runs.push_back(Run{f, parts[i], {}, 0, 0});
        }
    }
    const Document &document() const { return doc_; }
    Document take() { return std::move(doc_); }

private:
    Document doc_;
};

// One shot line of the simulator with its velocity and running average set off.
void appendShotLine(CFileBuilder &b, const QString &line)
{
    if (line.startsWith(u'#')) {
        b.append(line + QStringLiteral("\r\n"), kStats);
        return;
    }
    if (line.endsWith(QStringLiteral("<End>"))) {
        b.append(line + QStringLiteral("\r\n"), kBlockEnd);
        return;
    }
    const qsizetype velAt = line.indexOf(u' ') + 1;
    const qsizetype velEnd = line.indexOf(u' ', velAt);
    const qsizetype avAt = line.indexOf(QStringLiteral("_Av "));
    if (velAt <= 0 || velEnd < 0 || avAt < 0) {
        b.append(line + QStringLiteral("\r\n"), kBase);
        return;
    }
    b.append(line.left(velAt), kBase);
    b.append(line.mid(velAt, velEnd - velAt), kVelocity);
    b.append(line.mid(velEnd, avAt - velEnd), kBase);
    b.append(line.mid(avAt) + QStringLiteral("\r\n"), kAverage);
}

// One session as the program records it: the file's tag, a title and a few
// indented paragraphs with tabs that the user typed, status and device
// notices, ten strings of shots with notes between them, the stop tag.
void appendSession(CFileBuilder &b, bench::SimShotLines &shots, int number)
{
    b.append(vt::tagLine(0), kTag);
    ParaFormat centred;
    centred.align = AlignCenter;
    b.setParagraph(centred);
    b.append(QStringLiteral("Session %1 - 223 Rem, 20 in barrel\r\n").arg(number), kTitle);

    ParaFormat table;
    table.left = 720;
    table.firstLine = -360;
    table.tabs = {2160, 3600, 5040, 6480};
    b.setParagraph(table);
    b.append(QStringLiteral("Bullet:"), kNotesBold);
    b.append(QStringLiteral("\t55 gr\tV-Max\t.224\tCOL 2.250\r\n"), kNotes);
    b.append(QStringLiteral("Powder:"), kNotesBold);
    b.append(QStringLiteral("\tH335\t25.5 gr\tCCI 400\tLot 0412\r\n"), kNotes);
    ParaFormat note;
    note.left = 1440;
    note.firstLine = -720;
    note.right = 720;
    b.setParagraph(note);
    b.append(QStringLiteral("Notes:\tWind 5 mph from the left, 68 fah, screens at 15 ft from the muzzle; the second "
                            "string was shot after cleaning the barrel, the fourth with the new lot of primers.\r\n"),
             kNotes);
    b.setParagraph(ParaFormat());

    b.append(vt::plogText(QStringLiteral("KT4 Status-{ Archery= Off  RapidFire= Off  Sensors= On  "
                                         "Sensitivity=45-%  Battery=8.95-Volts"),
                          0, 1, 1),
             kRem);
    b.append(vt::plogText(QStringLiteral("Device-{ KT4 Pulsidar} Port-{COM1}"), 0, 1, 10), kTag);
    b.append(vt::tagLine(2), kTag);
    for (int string = 1; string <= 10; ++string) {
        for (;;) {
            const QString line = QString::fromLatin1(shots.next());
            appendShotLine(b, line);
            if (line.endsWith(QStringLiteral("<End>")))
                break;
        }
        b.append(vt::plogText(QStringLiteral("String %1 done, barrel cooled").arg(string), 0, 1, 2), kRem);
    }
    b.append(vt::tagLine(3), kTag);
}

struct Files {
    QString rtf, plain, saved;
};

Files files()
{
    const QString work = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/");
    return {work + QStringLiteral("cfile.rtf"), work + QStringLiteral("cfile.txt"), work + QStringLiteral("saved.rtf")};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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
    CFileBuilder b;
    int sessions = 0;
    // Size a sample, then build the rest in one go and top up if short.
    const int sample = 10;
    while (sessions < sample)
        appendSession(b, shots, ++sessions);
    const qint64 sampleBytes = writeRtf(b.document()).size();
    int want = int(double(target) / double(sampleBytes) * sample) + 1;
    QByteArray rtf;
    for (;;) {
        while (sessions < want)
            appendSession(b, shots, ++sessions);
        rtf = writeRtf(b.document());
        if (rtf.size() >= target)
            break;
        want = sessions + 1 + int(double(target - rtf.size()) / double(sampleBytes) * sample);
    }
    const Document doc = b.take();

    QByteArray plain;
    const QByteArray text = doc.plainText().toLatin1();
    while (plain.size() < rtf.size())
        plain += text;
    const qsizetype cut = plain.lastIndexOf("\r\n", rtf.size() - 1);
    plain.truncate(cut > 0 ? cut + 2 : rtf.size());

    const Files f = files();
    if (!writeFile(f.rtf, rtf) || !writeFile(f.plain, plain)) {
        std::fprintf(stderr, "Cannot write the generated files in %s\n", qPrintable(QFileInfo(f.rtf).path()));
        return false;
    }
    bench::figure(QStringLiteral("rtf cfile"), bench::megabytes(rtf.size())
                      + QStringLiteral(" RTF, %1 paragraphs, %2 sessions; plain text %3")
                            .arg(doc.paragraphs.size())
                            .arg(sessions)
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
    const auto dir = bench::prepareEnvironment();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int reps = bench::repetitions(5);
    try {
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
    } catch (const vt::RtError &e) {
        std::fprintf(stderr, "Error %d: %s\n", e.number, qPrintable(e.description));
        return 1;
    }
}
