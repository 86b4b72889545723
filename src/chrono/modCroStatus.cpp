#include "chrono/modCroStatus.h"

#include "chrono/modCroCox.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroProbe.h"
#include "serial/modRxEngine.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"

#include <QTimer>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace vt {

namespace {

const QString crlf = QStringLiteral("\r\n");

// A number as its shortest decimal text, without a leading blank.
template <typename T> QString numText(T value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return QString::fromLatin1(buf, res.ptr - buf);
}

// The leading number of a text, rounded half to even; nothing when it does
// not fit the field.
template <typename Int> std::optional<Int> wholeNumber(const QString &text)
{
    const double r = std::nearbyint(Val(text));
    if (!std::isfinite(r) || r < double(std::numeric_limits<Int>::min()) || r > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(r);
}

std::optional<float> decimalNumber(const QString &text)
{
    const double v = Val(text);
    if (!std::isfinite(v) || std::abs(v) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(v);
}

// The forward reader of the status answer: each tag is searched from the
// cursor, its value runs up to the delimiter, and the cursor moves past it.
class StatusReader {
public:
    explicit StatusReader(const QString &reply) : t_(reply) {}

    // The value between tag and delimiter; false when either is missing.
    bool field(QLatin1String tag, QLatin1String delim, QString &value, bool stayOnDelim = false)
    {
        const qsizetype at = t_.indexOf(tag, p_);
        if (at < 0)
            return false;
        const qsizetype from = at + tag.size();
        const qsizetype end = t_.indexOf(delim, from);
        if (end < 0)
            return false;
        value = t_.mid(from, end - from);
        p_ = stayOnDelim ? end : end + delim.size();
        return true;
    }
    // The text of n characters at the cursor plus offset.
    QString at(qsizetype offset, qsizetype n) const { return t_.mid(p_ + offset, n); }
    void skip(qsizetype n) { p_ += n; }

private:
    const QString &t_;
    qsizetype p_ = 0;
};

// A field read through parse, which gives no value for a text it refuses.
template <typename T, typename Parse>
bool parsed(StatusReader &r, QLatin1String tag, QLatin1String delim, T &into, Parse parse)
{
    QString v;
    if (!r.field(tag, delim, v))
        return false;
    const auto n = parse(v);
    if (!n)
        return false;
    into = *n;
    return true;
}

template <typename Int> bool number(StatusReader &r, QLatin1String tag, QLatin1String delim, Int &into)
{
    return parsed(r, tag, delim, into, [](const QString &v) { return wholeNumber<Int>(v); });
}

bool decimal(StatusReader &r, QLatin1String tag, QLatin1String delim, float &into)
{
    return parsed(r, tag, delim, into, [](const QString &v) { return decimalNumber(v); });
}

bool flag(StatusReader &r, QLatin1String tag, QLatin1String delim, bool &into)
{
    QString v;
    if (!r.field(tag, delim, v))
        return false;
    into = v == QLatin1String("ON");
    return true;
}

bool text(StatusReader &r, QLatin1String tag, QLatin1String delim, qsizetype n, QString &into)
{
    QString v;
    if (!r.field(tag, delim, v))
        return false;
    into = fixLen(v, n);
    return true;
}

// The two-digit numbers of the power-down time and the eDisk position.
bool twoDigits(const StatusReader &r, qsizetype offset, int16_t &into)
{
    const auto n = wholeNumber<int16_t>(r.at(offset, 2));
    if (!n)
        return false;
    into = *n;
    return true;
}

// Every field in the answer's order; false at the first that is missing.
bool readStatus(StatusReader &r, CroStatus &s)
{
    const QLatin1String blank(" "), cr("\r");
    // The model's value ends at the ":" that begins the version's tag.
    QString model;
    if (!r.field(QLatin1String(", "), QLatin1String(":"), model, true))
        return false;
    s.croModel = fixLen(model, 4);
    if (!number(r, QLatin1String(":V"), QLatin1String("S"), s.croVersion))
        return false;
    if (!number(r, QLatin1String("SYS:"), blank, s.croTotShots))
        return false;
    if (!decimal(r, QLatin1String("Bat="), QLatin1String("V "), s.croBatVolts))
        return false;
    if (!decimal(r, QLatin1String("Tmp="), blank, s.croCaseTemp))
        return false;
    if (!flag(r, QLatin1String("PwrDown="), QLatin1String("="), s.croPwrDwnOn))
        return false;
    if (!twoDigits(r, 0, s.croPwrDwnHrs) || !twoDigits(r, 3, s.croPwrDwnMin))
        return false;
    r.skip(5);
    if (!flag(r, QLatin1String("Faf="), blank, s.croRFirOn) || !flag(r, QLatin1String("Arc="), blank, s.croArcOn)
        || !flag(r, QLatin1String("Sens="), blank, s.croSnsOn))
        return false;
    if (!number(r, QLatin1String("SLev="), QLatin1String("% "), s.croSnsLev)
        || !number(r, QLatin1String("Cal="), cr, s.croCalVal))
        return false;
    if (!flag(r, QLatin1String("K*Log="), blank, s.croTmpLog) || !flag(r, QLatin1String("L*Log="), blank, s.croStaLog)
        || !flag(r, QLatin1String("J*Log="), blank, s.croCapLog))
        return false;
    if (!number(r, QLatin1String("Cam="), cr, s.croCamLev))
        return false;
    if (!text(r, QLatin1String("Vel="), blank, 3, s.croVelUnits) || !text(r, QLatin1String("Tmp="), blank, 3, s.croTmpUnits)
        || !text(r, QLatin1String("Tim="), cr, 3, s.croTimUnits))
        return false;
    if (!number(r, QLatin1String("MaxFol="), blank, s.croFolsDisk) || !number(r, QLatin1String("MaxStr="), blank, s.croStrsFol)
        || !number(r, QLatin1String("MaxSho="), cr, s.croShtsStr))
        return false;
    // The position: four two-digit numbers, and the line must be whole.
    QString att;
    if (!r.field(QLatin1String("Att="), cr, att))
        return false;
    int16_t *const position[] = {&s.croCurFol, &s.croCurStr, &s.croCurRev, &s.croCurPos};
    for (int i = 0; i < 4; ++i) {
        const auto v = wholeNumber<int16_t>(att.mid(3 * i, 2));
        if (!v)
            return false;
        *position[i] = *v;
    }
    return true;
}

} // namespace

QString fixLen(const QString &text, qsizetype n)
{
    return text.left(n).leftJustified(n, u' ');
}

void parCroStatus(const QString &reply)
{
    CroSta.croStaOk = false;
    StatusReader r(reply);
    if (readStatus(r, CroSta))
        CroSta.croStaOk = true;
}

void getCroStatus()
{
    CroSta.croStaOk = false;
    const auto aborted = [] { return CroLnk.croLinkErr == croUserAbort; };
    sndCroKey(1, QStringLiteral("["), 0, 0);
    if (CroLnk.croErr)
        return;
    if (CroLnk.croMenLev > 0) {
        sndCroKey(0, QStringLiteral("D"), 1, 0);
        if (CroLnk.croErr)
            return;
    }
    sndCroKey(0, QStringLiteral("Q"), 1, 0);
    if (CroLnk.croErr) {
        if (aborted())
            return;
        // Once more from the top: out of any menu, to the data side, ask again.
        sndCroKey(1, QStringLiteral("["), 0, 0);
        sndCroKey(0, QStringLiteral("D"), 1, 0);
        sndCroKey(0, QStringLiteral("Q"), 1, 0);
        if (CroLnk.croErr) {
            if (aborted())
                return;
            plogMsg(QStringLiteral("Failed to retrieve Chronograph Status."));
            seeNoCro();
            return;
        }
    }
    parCroStatus(CroLnk.rxRecent);
}

QString croStatusRep(int style, int16_t dest)
{
    const CroStatus &s = CroSta;
    QString pre;
    if (dest == 2) {
        if (style == 1)
            pre = QStringLiteral("REM: ");
        else if (style == 2)
            pre = QStringLiteral("REM:") + Format(s.croTotShots, QStringLiteral("00000")) + u' ';
    }
    QString out;
    // One line: prefix, label, value, CR LF; a blank line after it when asked.
    const auto line = [&](const QString &label, const QString &value, bool blankAfter = false) {
        out += pre + label + value + crlf;
        if (blankAfter)
            out += crlf;
    };
    const auto n = [](auto v) { return QString::number(v); };
    line(QStringLiteral("__________KT4 Status Report__________"), {});
    line(QStringLiteral("Port: COM"), n(nbrSerial().linkCommPort()));
    line(QStringLiteral("Model: "), s.croModel);
    line(QStringLiteral("Version: "), numText(double(s.croVersion) / 10.0) + u'P' + n(s.croVersion % 10));
    line(QStringLiteral("User Cam Level: "), n(s.croCamLev), true);
    line(QStringLiteral("Batery Voltage: "), numText(s.croBatVolts) + QStringLiteral("-Volts"));
    line(QStringLiteral("Case Temperature: "), numText(s.croCaseTemp) + QStringLiteral("-Celsius"), true);
    line(QStringLiteral("Power Down: "), strOnOff(s.croPwrDwnOn));
    line(QStringLiteral("Power Down Time: "),
         n(s.croPwrDwnHrs) + QStringLiteral("-Hrs, ") + n(s.croPwrDwnMin) + QStringLiteral("-Min"));
    line(QStringLiteral("Rapid Fire Mode: "), strOnOff(s.croRFirOn));
    line(QStringLiteral("Archery Mode: "), strOnOff(s.croArcOn), true);
    line(QStringLiteral("Sensors Status: "), strOnOff(s.croSnsOn));
    line(QStringLiteral("Sensetivity Level: "), n(s.croSnsLev));
    line(QStringLiteral("Calibration Value: "), n(s.croCalVal), true);
    line(QStringLiteral("CAP log: "), strOnOff(s.croCapLog));
    line(QStringLiteral("Temperature log: "), strOnOff(s.croTmpLog));
    line(QStringLiteral("Stats-Position log: "), strOnOff(s.croStaLog), true);
    line(QStringLiteral("Velocity Units: "), s.croVelUnits);
    line(QStringLiteral("Temerature Units: "), s.croTmpUnits);
    line(QStringLiteral("Time Units: "), s.croTimUnits, true);
    line(QStringLiteral("Number Of Folders/Disk: "), n(s.croFolsDisk));
    line(QStringLiteral("Number Of Strings/Folder: "), n(s.croStrsFol));
    line(QStringLiteral("Number Of Shots/String: "), n(s.croShtsStr), true);
    line(QStringLiteral("Current Folder: "), n(s.croCurFol));
    line(QStringLiteral("Current String: "), n(s.croCurStr));
    line(QStringLiteral("Current Shot Review: "), n(s.croCurRev));
    line(QStringLiteral("Current Shot Position: "), n(s.croCurPos));
    line(QStringLiteral("Total Shots Up to Date: "), n(s.croTotShots), true);
    line(QStringLiteral("To change KT4 setup go to Jotrix menu,"), {});
    out += pre + QStringLiteral("<Interface/Setup> or click on <zOvu> tool.");
    return out;
}

void chkCroLink()
{
    getPortStates();
    CroSta.croStaOk = false;
    opnCroPort(ComPort[0]);
    if (ComErr == 0) {
        // A write to a port that went away raises; the check then ends
        // without a status.
        trapErrors([] {
            // Wake the unit and take it out of any menu, then ask.
            int16_t r = croWaitMen(QString(QChar(0x1B)), 125);
            if (r > 99)
                r = croWaitMen(QString(QChar(0x1B)), 250);
            if (r > 99)
                return;
            if (croWaitMen(QStringLiteral("Q"), 250) < 10)
                parCroStatus(croReply);
        });
        Err.Clear();
    }
    rstTermPort();
}

namespace {

// The indicators' refresh after the unit's word on its sensors changed what
// the program held: once the chunk is through, and while a task talks to the
// unit, once it has ended (a refresh during it would show its held mode).
bool snsRefreshDue = false;

void refreshForSensors()
{
    if (croTask(0)) {
        QTimer::singleShot(100, &refreshForSensors);
        return;
    }
    snsRefreshDue = false;
    if (frmMDI::isLoaded())
        guarded(QStringLiteral("modCroStatus/chkSnsLine"), [] { updAllSta(); });
}

} // namespace

void chkSnsLine(const QString &line)
{
    if (Device != 0)
        return;
    bool armed = false;
    if (line.contains(QLatin1String("CAP=OFF")) || line.contains(QLatin1String("Sens=OFF")))
        armed = false;
    else if (line.contains(QLatin1String("CAP:")) && !line.contains(QLatin1String("<End>")))
        armed = true; // a shot: the block's closing line says nothing of the sensors
    else
        return;
    if (CroSta.croSnsOn == armed)
        return;
    CroSta.croSnsOn = armed;
    if (snsRefreshDue)
        return;
    snsRefreshDue = true;
    QTimer::singleShot(0, &refreshForSensors);
}

} // namespace vt
