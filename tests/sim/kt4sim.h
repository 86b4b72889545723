// A simulated KT4 chronograph on a pseudo-terminal.
//
// Kt4Sim opens a pty pair; the program under test opens the slave side (its
// path is portName(), usually handed over as VANTRELL_COM<n>) and the
// simulator answers on the master side, on the thread that created it, driven
// by that thread's event loop (QTest::qWait, QSignalSpy::wait, the program's
// own doEvents waits all drive it).
//
// Fixture use in a test:
//     vt::sim::Kt4Sim sim;
//     QVERIFY(sim.start());                  // pacing off: answers go out at once
//     qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
//     sim.options().lineEnd = vt::sim::LineEnd::LfCr;   // switches, any time
//     sim.unit().armed = true;                // the unit's state, open to tests
//     ... program sends keys ...
//     QVERIFY(sim.waitForReceived(1));        // bytes from the program
//     QCOMPARE(sim.received(), QByteArray("Q"));
//     QVERIFY(sim.waitIdle());                // everything queued has been sent
//     sim.sent();                             // every byte the unit has sent
//     sim.fireShot(301.2);                    // one shot now (only while armed)
//
// The wire, as the unit speaks it (CR LF shown; see Options::lineEnd):
// * An answer starts with a line end, carries its lines each ended by a line
//   end, and finishes with the prompt of the current side, "DAT>" (data) or
//   "STS>" (statistics), with no line end after it. In a menu the prompt is
//   "MEN><DAT> " or "MEN><STS> " followed by column and row digits and "?",
//   the cell's line "VAL=" value (ON, OFF or a decimal number) just before it.
// * Keys: "D"/"S" data/statistics side; "T" data type; "U" velocity units
//   f/s <-> m/s; "M" opens the side's menu at cell 00; in a menu Ctrl-U/D move
//   the row, Ctrl-L/R the column, Ctrl-K/Ctrl-O step the cell's value up/down
//   (an ON/OFF cell toggles), Ctrl-M (CR) confirms the stepped value (moving
//   off the cell or leaving the menu unconfirmed drops it), ESC leaves with
//   "<End> CAP=OFF" and the prompt, plain "D" and "S" leave to that side;
//   outside a menu Ctrl-U/D step the shot under review, Ctrl-R/L the current
//   string, Ctrl-K/O the current folder (a line "Fol=.. Str=.. Sho=.." then the
//   prompt). Ctrl-^ Ctrl-_ Ctrl-A delete the shot under review, the string,
//   the folder; Ctrl-\ Ctrl-] Ctrl-B undelete them; while armed they also end
//   capture and say "CAP=OFF". "Q" status, "Z" sensors off and their report,
//   "W" eDisk position, "A"/"F" archery/rapid fire toggles, "J"/"K"/"L" the
//   CAP, temperature and statistics-position log toggles, "1"/"2"/"3" dumps,
//   "C" calibrate (arms the sensors unless it fails; "D" before its answer
//   has gone out abandons it), "P"/"9" power off. ESC
//   and every other key: "<End>" (sensors armed) or "<End> CAP=OFF" and the
//   prompt; while powered off only ESC is answered: "Power ON", then the data
//   menu at 00.
// * Menu cells (side, column, row): data (1,0,0) sensors, (1,0,1) archery,
//   (1,0,2) sensor level 0..100 in steps of 5, (1,0,3) rapid fire, (1,0,4)
//   velocity units ON = m/s, (1,0,5) temperature units ON = Celsius;
//   statistics (2,2,0) string size strings*100 + shots, (2,4,3) memory alarm,
//   (2,5,2) power-down on, (2,5,3) power-down time hours*100 + minutes (0:00
//   to 3:51, one minute a step), (2,5,4) expert mode. Other cells read 0 and
//   do not step. Six columns by six rows. "Q" reports every confirmed change.
// * While armed each shot gives "CAP:" count velocity unit time "sec"
//   temperature unit string:shot "_Av " average (temperature only with the
//   temperature log on; nothing with the CAP log off), a "# Fol= Str= Sho="
//   line with the statistics-position log on; a full string (or ESC, "Z",
//   sensors off) ends the block with two "# " statistics lines and
//   "CAP:nnnnn <End>". The count is the total-shots counter.
// * Dumps: "MMR:<Begin> Fol=ff Str=ss Siz=nn", "MMR:ff:ss:nnn vel unit temp
//   unit" (two-digit shot numbers on demand), "MMR:<End> Fol=ff Str=ss" per
//   string, then "MMR:<End>" (armed) or "MMR:<End> CAP=OFF" and "DAT>". The
//   eDisk dump always closes folder 10 with "MMR:<End> Fol=10 Str=nn".
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <deque>
#include <thread>

class QSocketNotifier;

namespace vt::sim {

enum class LineEnd { CrLf, LfCr, Cr };

// Switches. Changes take effect from the next answer.
struct Options {
    LineEnd lineEnd = LineEnd::CrLf;
    bool pacing = true;          // send at the line speed (baud / 10 characters a second)
    int baud = 4800;
    int delayBeforeMs = 0;       // silence before every answer
    int delayWithinMs = 0;       // pause between the chunks of an answer (between lines without chunks)
    QList<int> chunks;           // split answers into pieces of these sizes, cycled; empty = whole
    QByteArray silentKeys;       // keys (bytes as received) that get no answer at all
    bool leadingBackspace = false; // every answer begins with a backspace
    bool wrongPrompt = false;    // answers end with the other side's prompt
    bool neverStops = false;     // talks without end and answers no key
    bool mute = false;           // a device that never says anything
    int answerZFrom = 1;         // "Z" is answered only from this try on (earlier ones get silence)
    QMap<char, int> keyDelayMs;  // extra silence before the answer to these keys (bytes as received)
    bool twoDigitShots = false;  // dump shot numbers in two digits instead of three
    bool calFails = false;       // "C" answers "ERR=Cal"
    int calibrationMs = 1500;    // time calibration takes while pacing is on
    bool zWithoutSensOff = false; // "Z" reports the sensors without "Sens=OFF"
    int shotsToFire = 0;         // while armed, send this many shots in all ...
    int everyMs = 1000;          // ... one every this many milliseconds
};

struct StoredShot {
    double fps = 0;      // velocity, feet per second
    double tempF = 0;    // temperature, Fahrenheit
    bool deleted = false;
};

// The unit's own state. Tests may read and set it directly.
struct Unit {
    bool powered = true;
    bool armed = false;            // sensors armed
    int side = 1;                  // 1 data, 2 statistics
    bool inMenu = false;
    int menuCol = 0, menuRow = 0;  // menu of `side`
    bool archery = false, rapidFire = false;
    bool capLog = true, tmpLog = true, staLog = false;   // J, K, L
    int sensLevel = 50;
    int calValue = 1234;
    int camLevel = 3;
    bool metric = false;           // m/s instead of f/s
    bool celsius = false;          // cel instead of fah
    bool pwrDownOn = true;
    int pwrDownHrs = 1, pwrDownMin = 30;
    bool memAlarm = false, expert = false;
    int totalShots = 1234;         // above 32767 on demand
    int version = 23;              // tenths
    QString model = QStringLiteral("KT4P");
    double battery = 8.95, caseTemp = 22.5;
    int maxFol = 10, maxStr = 10, maxSho = 16;
    int curFol = 1, curStr = 2, curRev = 0;   // curRev 0: the last shot of the string
    QMap<int, QVector<StoredShot>> disk;      // key folder * 100 + string

    QVector<StoredShot> &shots(int fol, int str) { return disk[fol * 100 + str]; }
    int liveCount(int fol, int str) const;
};

class Kt4Sim : public QObject {
    Q_OBJECT
public:
    explicit Kt4Sim(QObject *parent = nullptr);
    ~Kt4Sim() override;

    // The 11-character identification text at the head of the status answer:
    // the one the program looks for.
    static QByteArray identification();

    // Opens the pty pair. Pacing is on for the program and off here unless
    // `paced`; returns false (and why) when no pty can be had.
    bool start(bool paced = false, QString *error = nullptr);
    void stop();
    QString portName() const { return slavePath_; }
    bool peerConnected() const { return peer_; }

    // Back to a unit as it comes (used eDisk, default switches but pacing),
    // with empty logs.
    void reset();

    Options &options() { return opt_; }
    Unit &unit() { return unit_; }

    // Every byte received, with its time (ms since start()).
    struct RxByte {
        qint64 ms;
        char byte;
    };
    QByteArray received() const { return rxBytes_; }
    const QVector<RxByte> &receiveLog() const { return rxLog_; }
    void clearReceived();
    bool setLogFile(const QString &path);   // appends one line per byte received

    // Every byte sent to the program.
    QByteArray sent() const { return sent_; }
    void clearSent() { sent_.clear(); }
    bool isIdle() const { return out_.empty(); }

    // Waits (running the event loop) for at least n bytes received in all, for
    // `text` to have been sent since the last clearSent(), for the send queue
    // to empty, or for the program to open or close the port.
    bool waitForReceived(int n, int timeoutMs = 3000);
    bool waitForSent(const QByteArray &text, int timeoutMs = 3000);
    bool waitIdle(int timeoutMs = 10000);
    bool waitForPeer(bool connected, int timeoutMs = 3000);

    // One shot now at `fps` (0: a made-up velocity); only while armed and powered.
    void fireShot(double fps = 0);
    // Raw text to the program, outside any answer (line ends as given).
    void sendRaw(const QByteArray &bytes);

    // Raw text from a thread of its own: `count` writes of `bytes`, `everyMs`
    // apart by that thread's clock, so that the spacing holds while the event
    // loop of this thread is late or busy. Not kept in sent(). finishTalk()
    // waits for the last write and gives the times of each (ms since start(),
    // read just before and just after the write).
    struct Write {
        qint64 before = 0, after = 0;
    };
    bool startTalk(const QByteArray &bytes, int count, int everyMs);
    QVector<Write> finishTalk();
    // The time on the clock of receiveLog() and finishTalk().
    qint64 msNow() const { return clock_.elapsed(); }

signals:
    void keyReceived(int key);
    void peerChanged(bool connected);

private:
    struct Segment {
        QByteArray data;
        int delayMs = 0;
        qint64 readyAt = -1;
        int written = 0;
    };

    void onReadable();
    void checkPeer();
    void setPeer(bool on);
    void handleKey(unsigned char key);
    void pump();
    void schedule(qint64 ms);
    void answer(QByteArray text, int extraDelayMs = 0);
    void unsolicited(const QByteArray &text);
    QByteArray lineEnds(const QByteArray &text) const;
    void talkOn();
    void autoShot();
    void updateShotTimer();

    // Replies (texts with CR LF line ends).
    QByteArray prompt() const;
    QByteArray menuPrompt() const;
    QByteArray menuCell() const;
    QByteArray statusText() const;
    QByteArray reviewLine() const;
    QByteArray shotLine(int fol, int str, int n, const StoredShot &s) const;
    QByteArray stringDump(int fol, int str, bool keepEmpty) const;
    QByteArray velText(double fps) const;
    QByteArray tempText(double f) const;
    QByteArray closeBlock();             // statistics and the block's end line, or ""
    QByteArray disarm();                 // closes the block and clears armed
    int menuCellCode() const;            // 100 * side + 10 * column + row
    static bool flagCell(int cell);      // an ON/OFF cell
    int cellValue(int cell) const;       // the unit's value of a cell (ON 1, OFF 0)
    void stepCell(int dir);
    void commitCell();
    void menuKey(unsigned char key);
    void moveReview(unsigned char key);
    void deleteKey(unsigned char key);
    void dumpKey(unsigned char key);
    void abandonCalibration(unsigned char key);
    QByteArray zReport(bool wasArmed);
    double nextVelocity();

    Options opt_;
    Unit unit_;
    int masterFd_ = -1;
    QString slavePath_;
    QSocketNotifier *readNote_ = nullptr;
    QTimer peerTimer_, sendTimer_, talkTimer_, shotTimer_;
    QElapsedTimer clock_;
    bool peer_ = false;
    QByteArray rxBytes_, sent_;
    QVector<RxByte> rxLog_;
    QFile logFile_;
    std::deque<Segment> out_;
    // The capture block under way: shots since it began and their velocities.
    QVector<double> block_;
    qint64 lastShotMs_ = -1;
    int shotsFired_ = 0;
    quint32 seed_ = 12345;
    int talkCount_ = 0;
    int zTries_ = 0;            // "Z" keys received so far
    int keyDelay_ = 0;          // extra silence for the answer of the key being handled
    int typeIndex_ = 0;
    QByteArray pendingLines_;   // lines a menu step has to say before the cell
    bool pending_ = false;      // the cell's value was stepped but not yet confirmed ...
    int pendingVal_ = 0;        // ... to this
    QByteArray calAnswer_;      // the calibration answer while it waits to go out
    std::thread talker_;
    QVector<Write> talkWrites_;  // the talker's own until it has been joined
};

} // namespace vt::sim
