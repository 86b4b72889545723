// Runs the real vantrell program as a separate process from a test.
//
//   VtProcess copy;                       // its own answers, ask-log and ready files
//   copy.setAnswers({"Yes"});             // lines of $VANTRELL_ANSWERS (plain or "fragment\tanswer")
//   copy.start({"N=7"});                  // arguments as on a command line
//   QVERIFY(copy.waitStarted());          // start-up done, event loop running
//   QCOMPARE(copy.startedAs(), "Vantrell7");
//   QVERIFY(copy.asked().isEmpty());      // questions from $VANTRELL_ASKLOG
//   copy.stop();                          // SIGKILL: a crash as far as the program knows
//
// The process inherits the test's environment (tests/run-one.sh gives every test
// fresh VANTRELL_CONFIG and VANTRELL_HOME folders and the offscreen platform),
// so several VtProcess objects of one test share one settings store, as copies
// of one user do. The program is $VANTRELL_BIN (set by CTest), else vantrell in
// the build folder. A process still running when the object goes is killed.
//
// Start-up is done when the program writes its application title into the file
// named by $VANTRELL_READY; a process that ends before (refused, answered No)
// never writes it, and waitStarted() returns false as soon as it has ended.
#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vttest {

// One question as the program logged it.
struct Asked {
    QString kind;    // box, open, save, font, color, page, printer, dialog
    QString title;
    QString text;    // lines joined by CR LF, as shown
    QString buttons; // "Yes, No, Cancel"
    QString defaultAnswer;
    QString icon;
    QString answer;
    bool answered = true; // false: nothing was queued, the default was taken
};

// Parses an ask-log file.
QList<Asked> readAskLog(const QString &path);

class VtProcess {
public:
    VtProcess();
    ~VtProcess();
    VtProcess(const VtProcess &) = delete;
    VtProcess &operator=(const VtProcess &) = delete;

    // Before start(): answers to queue, extra environment, a screen size for
    // the offscreen platform (e.g. 640 x 480).
    void setAnswers(const QStringList &lines);
    void setEnv(const QString &name, const QString &value);
    void setScreen(int width, int height);

    // Waits end as soon as what they wait for has happened; their bound only
    // stops a test that would hang, so it is far beyond what a start or an
    // end takes on a loaded machine with the sanitizers on.
    static constexpr int kWaitMs = 120000;

    void start(const QStringList &args = {});
    // True once start-up is done; false when the process ended first or
    // timeoutMs passed.
    bool waitStarted(int timeoutMs = kWaitMs);
    // True when the process has ended within timeoutMs.
    bool waitFinished(int timeoutMs = kWaitMs);
    bool running() const;
    int exitCode() const;
    // Ends the process at once (SIGKILL) and waits for it.
    void stop();
    // Asks the process to end (SIGTERM) and waits for it.
    void terminate();

    // The application title the program reported when start-up was done
    // (empty before or when it never got there).
    QString startedAs() const;
    QList<Asked> asked() const;
    // What the process wrote to stderr so far.
    QString errors();
    qint64 pid() const;

    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QProcess proc_;
    QProcessEnvironment env_;
    QString answersFile_, askLogFile_, readyFile_;
    QString errText_;
};

// A value of a copy's instance record ("Pemdora" of "Vantrell" n).
QString record(int n, const QString &key);
// Writes a copy's record as a copy that is running would have it (as a crash
// leaves it).
void writeRunningRecord(int n);

} // namespace vttest
