// vantrell-sim: the simulated KT4 chronograph as a program for scripts.
// Prints the path of its pseudo-terminal on the first line, then answers on it
// until it is killed.
#include "sim/kt4sim.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// A key named as a character ("Q"), "ESC", "CR", "^U" or a number ("0x1B", "27").
bool parseKey(const QString &name, char &key)
{
    const QString n = name.trimmed();
    if (n.compare(QLatin1String("ESC"), Qt::CaseInsensitive) == 0) {
        key = 0x1B;
        return true;
    }
    if (n.compare(QLatin1String("CR"), Qt::CaseInsensitive) == 0) {
        key = 0x0D;
        return true;
    }
    if (n.size() == 2 && n[0] == QLatin1Char('^')) {
        key = char(n[1].toLatin1() & 0xBF);
        return true;
    }
    if (n.size() == 1) {
        key = n[0].toLatin1();
        return true;
    }
    bool ok = false;
    const int v = n.toInt(&ok, 0);
    if (ok && v >= 0 && v <= 255) {
        key = char(v);
        return true;
    }
    return false;
}

int fail(const QString &why)
{
    std::fprintf(stderr, "vantrell-sim: %s\n", qPrintable(why));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrell-sim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A simulated KT4 chronograph on a pseudo-terminal. Prints the terminal's path on the\n"
        "first line, then answers on it until killed. Point the program at it with\n"
        "VANTRELL_COM1=<path>."));
    p.addHelpOption();
    const QCommandLineOption armed(QStringLiteral("armed"), QStringLiteral("Sensors armed at start."));
    const QCommandLineOption shots(QStringLiteral("shots"), QStringLiteral("While armed, send N shots in all."),
                                   QStringLiteral("N"));
    const QCommandLineOption every(QStringLiteral("every"), QStringLiteral("One shot every MS milliseconds (default 1000)."),
                                   QStringLiteral("MS"));
    const QCommandLineOption lineEnd(QStringLiteral("line-end"),
                                     QStringLiteral("Line ends: crlf (default), lfcr or cr."), QStringLiteral("KIND"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append every byte received, with its time, to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption noPacing(QStringLiteral("no-pacing"),
                                      QStringLiteral("Send at once instead of at the line speed."));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Line speed for pacing (default 4800)."),
                                  QStringLiteral("RATE"));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Silence of MS milliseconds before every answer."),
                                   QStringLiteral("MS"));
    const QCommandLineOption delayWithin(QStringLiteral("delay-within"),
                                         QStringLiteral("Pause of MS milliseconds between the chunks (or lines) of an answer."),
                                         QStringLiteral("MS"));
    const QCommandLineOption chunks(QStringLiteral("chunks"),
                                    QStringLiteral("Split answers into chunks of these sizes, cycled (e.g. 3,5)."),
                                    QStringLiteral("SIZES"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Keys that get no answer, comma-separated: a character, ESC, CR, ^U or 0x1B."),
                                    QStringLiteral("KEYS"));
    const QCommandLineOption backspace(QStringLiteral("backspace"), QStringLiteral("Begin every answer with a backspace."));
    const QCommandLineOption wrongPrompt(QStringLiteral("wrong-prompt"),
                                         QStringLiteral("End answers with the other side's prompt (STS> for DAT>)."));
    const QCommandLineOption neverStop(QStringLiteral("never-stop"),
                                       QStringLiteral("Talk without end and answer no key."));
    const QCommandLineOption totalShots(QStringLiteral("total-shots"),
                                        QStringLiteral("Total shots to date reported by the unit (e.g. 40000)."),
                                        QStringLiteral("N"));
    const QCommandLineOption twoDigit(QStringLiteral("two-digit-shots"),
                                      QStringLiteral("Shot numbers of dump lines in two digits instead of three."));
    const QCommandLineOption calFail(QStringLiteral("cal-fail"), QStringLiteral("Calibration answers ERR=Cal."));
    const QCommandLineOption calMs(QStringLiteral("cal-ms"),
                                   QStringLiteral("Milliseconds a calibration takes (default 1500)."), QStringLiteral("MS"));
    const QCommandLineOption mute(QStringLiteral("mute"), QStringLiteral("Say nothing at all, to any key."));
    const QCommandLineOption zFrom(QStringLiteral("z-from"),
                                   QStringLiteral("Answer \"Z\" only from the N-th try on (default 1)."),
                                   QStringLiteral("N"));
    const QCommandLineOption keyDelay(QStringLiteral("key-delay"),
                                      QStringLiteral("Extra silence before the answer to some keys, e.g. Z=200,ESC=50."),
                                      QStringLiteral("KEY=MS,..."));
    p.addOptions({mute, zFrom, keyDelay, armed, shots, every, lineEnd, log, noPacing, baud, delay, delayWithin, chunks, silent, backspace,
                  wrongPrompt, neverStop, totalShots, twoDigit, calFail, calMs});
    p.process(app);

    vt::sim::Kt4Sim sim;
    vt::sim::Options &o = sim.options();
    auto number = [&p](const QCommandLineOption &opt, int &into, int min) {
        if (!p.isSet(opt))
            return true;
        bool ok = false;
        const int v = p.value(opt).toInt(&ok);
        if (!ok || v < min)
            return false;
        into = v;
        return true;
    };
    if (!number(shots, o.shotsToFire, 0) || !number(every, o.everyMs, 1) || !number(baud, o.baud, 50)
        || !number(delay, o.delayBeforeMs, 0) || !number(delayWithin, o.delayWithinMs, 0)
        || !number(totalShots, sim.unit().totalShots, 0) || !number(calMs, o.calibrationMs, 0)
        || !number(zFrom, o.answerZFrom, 1))
        return fail(QStringLiteral("a number is not valid (see --help)"));
    if (p.isSet(lineEnd)) {
        const QString v = p.value(lineEnd).toLower();
        if (v == QLatin1String("crlf"))
            o.lineEnd = vt::sim::LineEnd::CrLf;
        else if (v == QLatin1String("lfcr"))
            o.lineEnd = vt::sim::LineEnd::LfCr;
        else if (v == QLatin1String("cr"))
            o.lineEnd = vt::sim::LineEnd::Cr;
        else
            return fail(QStringLiteral("--line-end takes crlf, lfcr or cr"));
    }
    if (p.isSet(chunks)) {
        for (const QString &c : p.value(chunks).split(QLatin1Char(','))) {
            bool ok = false;
            const int v = c.toInt(&ok);
            if (!ok || v < 1)
                return fail(QStringLiteral("--chunks takes sizes of 1 or more, e.g. 3,5"));
            o.chunks.append(v);
        }
    }
    if (p.isSet(silent)) {
        for (const QString &k : p.value(silent).split(QLatin1Char(','))) {
            char key = 0;
            if (!parseKey(k, key))
                return fail(QStringLiteral("--silent: unknown key %1").arg(k));
            o.silentKeys.append(key);
        }
    }
    if (p.isSet(keyDelay)) {
        for (const QString &item : p.value(keyDelay).split(QLatin1Char(','))) {
            const qsizetype eq = item.lastIndexOf(QLatin1Char('='));
            char key = 0;
            bool ok = false;
            const int ms = eq > 0 ? item.mid(eq + 1).toInt(&ok) : 0;
            if (eq <= 0 || !ok || ms < 0 || !parseKey(item.left(eq), key))
                return fail(QStringLiteral("--key-delay takes KEY=MS pairs, e.g. Z=200"));
            o.keyDelayMs.insert(key, ms);
        }
    }
    o.mute = p.isSet(mute);
    o.leadingBackspace = p.isSet(backspace);
    o.wrongPrompt = p.isSet(wrongPrompt);
    o.neverStops = p.isSet(neverStop);
    o.twoDigitShots = p.isSet(twoDigit);
    o.calFails = p.isSet(calFail);
    sim.unit().armed = p.isSet(armed);

    QString why;
    if (!sim.start(!p.isSet(noPacing), &why))
        return fail(QStringLiteral("no pseudo-terminal: %1").arg(why));
    if (p.isSet(log) && !sim.setLogFile(p.value(log)))
        return fail(QStringLiteral("cannot write %1").arg(p.value(log)));

    std::printf("%s\n", qPrintable(sim.portName()));
    std::fflush(stdout);
    return app.exec();
}
