#include "common/cfilegen.h"

#include "common/benchutil.h"

#include "chrono/modCroCox.h"
#include "platform/rtfwriter.h"
#include "serial/modCapLog.h"

namespace bench {

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
void appendSession(CFileBuilder &b, SimShotLines &shots, int number)
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

} // namespace

GeneratedCFile generateCFile(qint64 target, SimShotLines &shots)
{
    CFileBuilder b;
    int sessions = 0;
    // Size a sample, then build the rest in one go and top up if short.
    const int sample = 10;
    while (sessions < sample)
        appendSession(b, shots, ++sessions);
    const qint64 sampleBytes = writeRtf(b.document()).size();
    int want = int(double(target) / double(sampleBytes) * sample) + 1;
    GeneratedCFile out;
    for (;;) {
        while (sessions < want)
            appendSession(b, shots, ++sessions);
        out.rtf = writeRtf(b.document());
        if (out.rtf.size() >= target)
            break;
        want = sessions + 1 + int(double(target - out.rtf.size()) / double(sampleBytes) * sample);
    }
    out.document = b.take();
    out.sessions = sessions;
    return out;
}

} // namespace bench
