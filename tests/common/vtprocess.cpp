#include "common/vtprocess.h"
#include "vt_paths.h"

#include "platform/settings.h"

#include <QDeadlineTimer>
#include <QFile>

namespace vttest {

QList<Asked> readAskLog(const QString &path)
{
    QList<Asked> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    Asked *cur = nullptr;
    bool inText = false;
    auto field = [](const QString &line, const char *name, QString &into) {
        const QString head = QString::fromLatin1(name) + QStringLiteral(": ");
        if (!line.startsWith(head) && line != head.trimmed())
            return false;
        into = line.mid(head.size());
        return true;
    };
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("=== "))) {
            out.append(Asked{});
            cur = &out.last();
            cur->kind = line.mid(4);
            inText = false;
            continue;
        }
        if (!cur)
            continue;
        if (field(line, "buttons", cur->buttons)) {
            inText = false;
            continue;
        }
        if (inText) {
            cur->text += u'\n' + line; // the line before kept its CR
            continue;
        }
        if (field(line, "text", cur->text)) {
            inText = true;
            continue;
        }
        QString answer;
        if (field(line, "answer", answer)) {
            cur->answered = !answer.endsWith(QStringLiteral(" (unanswered)"));
            if (!cur->answered)
                answer.chop(13);
            cur->answer = answer;
            continue;
        }
        field(line, "title", cur->title) || field(line, "default", cur->defaultAnswer) || field(line, "icon", cur->icon);
    }
    return out;
}

VtProcess::VtProcess() : env_(QProcessEnvironment::systemEnvironment())
{
    answersFile_ = dir_.filePath(QStringLiteral("answers.txt"));
    askLogFile_ = dir_.filePath(QStringLiteral("asklog.txt"));
    readyFile_ = dir_.filePath(QStringLiteral("ready.txt"));
    env_.remove(QStringLiteral("VANTRELL_ANSWERS"));
    env_.insert(QStringLiteral("VANTRELL_ASKLOG"), askLogFile_);
    env_.insert(QStringLiteral("VANTRELL_READY"), readyFile_);
    proc_.setProcessChannelMode(QProcess::SeparateChannels);
    proc_.setStandardOutputFile(QProcess::nullDevice());
}

VtProcess::~VtProcess()
{
    if (running())
        stop();
}

void VtProcess::setAnswers(const QStringList &lines)
{
    QFile f(answersFile_);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write((lines.join(u'\n') + u'\n').toUtf8());
    // Scripted mode: a question without an answer takes its default.
    env_.insert(QStringLiteral("VANTRELL_ANSWERS"), answersFile_);
}

void VtProcess::setEnv(const QString &name, const QString &value) { env_.insert(name, value); }

void VtProcess::setScreen(int width, int height)
{
    const QString file = dir_.filePath(QStringLiteral("screen.json"));
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(QStringLiteral("{\"screens\":[{\"name\":\"test\",\"x\":0,\"y\":0,\"width\":%1,\"height\":%2,"
                               "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                    .arg(width)
                    .arg(height)
                    .toUtf8());
    env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + file);
}

void VtProcess::start(const QStringList &args)
{
    if (!env_.contains(QStringLiteral("VANTRELL_ANSWERS"))) {
        // Never let a question wait for a person: no answers means defaults.
        setAnswers({});
    }
    // What the test saved stands for what an earlier run left on disk: the
    // program must find it there.
    vt::flushSettings();
    QString bin = qEnvironmentVariable("VANTRELL_BIN");
    if (bin.isEmpty())
        bin = QStringLiteral(VT_BINARY_DIR "/vantrell");
    proc_.setProcessEnvironment(env_);
    proc_.start(bin, args);
    proc_.waitForStarted(kWaitMs);
}

bool VtProcess::waitStarted(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (!startedAs().isEmpty())
            return true;
        if (!running())
            return !startedAs().isEmpty();
        proc_.waitForFinished(20);
    }
    return !startedAs().isEmpty();
}

bool VtProcess::waitFinished(int timeoutMs)
{
    if (!running())
        return true;
    return proc_.waitForFinished(timeoutMs);
}

bool VtProcess::running() const { return proc_.state() != QProcess::NotRunning; }

int VtProcess::exitCode() const { return proc_.exitStatus() == QProcess::NormalExit ? proc_.exitCode() : -1; }

void VtProcess::stop()
{
    if (!running())
        return;
    proc_.kill();
    proc_.waitForFinished(kWaitMs);
}

void VtProcess::terminate()
{
    if (!running())
        return;
    proc_.terminate();
    if (!proc_.waitForFinished(kWaitMs))
        stop();
}

QString VtProcess::startedAs() const
{
    QFile f(readyFile_);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).trimmed();
}

QList<Asked> VtProcess::asked() const { return readAskLog(askLogFile_); }

QString VtProcess::errors()
{
    errText_ += QString::fromLocal8Bit(proc_.readAllStandardError());
    return errText_;
}

qint64 VtProcess::pid() const { return proc_.processId(); }

QString record(int n, const QString &key)
{
    return vt::GetSetting(QStringLiteral("Vantrell") + QString::number(n), QStringLiteral("Pemdora"), key);
}

void writeRunningRecord(int n)
{
    const QString app = QStringLiteral("Vantrell") + QString::number(n);
    vt::SaveSetting(app, QStringLiteral("Pemdora"), QStringLiteral("AppNum"), QString::number(n));
    vt::SaveSetting(app, QStringLiteral("Pemdora"), QStringLiteral("AppRun"), app);
    vt::SaveSetting(app, QStringLiteral("Pemdora"), QStringLiteral("AppEnd"), QString());
}

} // namespace vttest
