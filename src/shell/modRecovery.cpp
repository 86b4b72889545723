#include "shell/modRecovery.h"

#include "platform/msgbox.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "shell/modQuitSig.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace vt {

namespace {

const QString kSection = QStringLiteral("Recovered");
const QString kLivePrefix = QStringLiteral("Live ");
// Characters read from the document in one go: a few milliseconds of work,
// so that a large text is copied with the windows still answering.
constexpr int kSlice = 1 << 20;

QSet<QString> &livePaths()
{
    static QSet<QString> paths;
    return paths;
}

QString sidePath(const QString &path) { return path + QStringLiteral(".new"); }

// The disk work, in order, on a thread of its own. Plain system calls only:
// the thread may still be finishing while the program's objects are gone.
class DiskWriter {
public:
    static DiskWriter &get()
    {
        static DiskWriter writer;
        return writer;
    }
    void post(std::function<void()> job)
    {
        std::lock_guard lock(m_);
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
        jobs_.push_back(std::move(job));
        cv_.notify_all();
    }
    void waitIdle()
    {
        std::unique_lock lock(m_);
        idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }
    ~DiskWriter()
    {
        {
            std::lock_guard lock(m_);
            stop_ = true;
            cv_.notify_all();
        }
        if (thread_.joinable())
            thread_.join();
    }

private:
    void run()
    {
        std::unique_lock lock(m_);
        for (;;) {
            cv_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
            if (jobs_.empty())
                return; // stopping, and everything handed over is done
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            lock.unlock();
            job();
            lock.lock();
            busy_ = false;
            if (jobs_.empty())
                idle_.notify_all();
        }
    }
    std::mutex m_;
    std::condition_variable cv_, idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false, stop_ = false;
    std::thread thread_;
};

// Told once per file until it can be written again, so that a full disk does
// not fill the terminal every two seconds.
void report(const std::string &path, bool ok, const char *what)
{
    static std::mutex m;
    static std::vector<std::string> failing;
    const int err = errno;
    std::lock_guard lock(m);
    const auto it = std::find(failing.begin(), failing.end(), path);
    if (ok) {
        if (it != failing.end())
            failing.erase(it);
        return;
    }
    if (it != failing.end())
        return;
    failing.push_back(path);
    std::fprintf(stderr, "vantrell: recovery copy %s: %s: %s\n", path.c_str(), what, std::strerror(err));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// Appends data to path, first cutting it to truncateTo bytes when that is not
// negative, and syncs it to the disk.
void appendJob(const std::string &path, qint64 truncateTo, const QByteArray &data)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        report(path, false, "cannot open");
        return;
    }
    bool ok = (truncateTo < 0 || ::ftruncate(fd, off_t(truncateTo)) == 0) && ::lseek(fd, 0, SEEK_END) >= 0
        && writeAll(fd, data.constData(), data.size()) && ::fdatasync(fd) == 0;
    report(path, ok, "cannot write");
    ::close(fd);
}

// The first bytes of from as a new file to.
void copyPrefixJob(const std::string &from, const std::string &to, qint64 bytes)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = in >= 0 && out >= 0;
    std::vector<char> buf(1 << 20);
    while (ok && bytes > 0) {
        const ssize_t n = ::read(in, buf.data(), size_t(std::min<qint64>(bytes, qint64(buf.size()))));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0 && writeAll(out, buf.data(), n);
        bytes -= n;
    }
    report(to, ok, "cannot copy");
    if (in >= 0)
        ::close(in);
    if (out >= 0)
        ::close(out);
}

void renameJob(const std::string &from, const std::string &to)
{
    report(to, ::rename(from.c_str(), to.c_str()) == 0, "cannot replace");
}

void removeJob(const std::string &path)
{
    ::unlink(path.c_str());
    ::unlink((path + ".new").c_str());
}

std::string native(const QString &path) { return QFile::encodeName(path).toStdString(); }

} // namespace

RecoveryCopy::RecoveryCopy(QTextDocument *doc, std::function<QString()> name, std::function<bool()> changed,
                           QObject *parent)
    : QObject(parent), doc_(doc), name_(std::move(name)), changed_(std::move(changed))
{
    timer_.setSingleShot(true);
    dirtyFrom_ = INT_MAX;
    connect(&timer_, &QTimer::timeout, this, [this] { step(); });
    connect(doc_, &QTextDocument::contentsChange, this, [this](int from, int, int) { onChange(from); });
}

RecoveryCopy::~RecoveryCopy()
{
    if (!kept_)
        discard();
}

void RecoveryCopy::onChange(int from)
{
    // All a change costs: the lowest position touched, and the timer.
    dirtyFrom_ = std::min(dirtyFrom_, from);
    if (!timer_.isActive() && !kept_)
        timer_.start(kIntervalMs);
}

void RecoveryCopy::reset()
{
    path_.clear();
    rewriting_ = false;
    dirtyFrom_ = INT_MAX;
    written_ = 0;
    bytes_ = 0;
    marks_.assign(1, Mark{0, 0});
}

void RecoveryCopy::discard()
{
    if (kept_)
        return;
    timer_.stop();
    if (!path_.isEmpty()) {
        DeleteSetting(AppTitle, kSection, kLivePrefix + QFileInfo(path_).fileName());
        livePaths().remove(path_);
        DiskWriter::get().post([p = native(path_)] { removeJob(p); });
    }
    reset();
}

void RecoveryCopy::step()
{
    if (kept_)
        return;
    // An empty CFile has nothing to lose, as its close question knows.
    if (!changed_() || doc_->isEmpty()) {
        discard();
        return;
    }
    const int end = doc_->characterCount() - 1;
    qint64 truncateTo = -1;
    if (dirtyFrom_ < written_) {
        // Text already in the copy changed: write again from the last point
        // written before the change. Marks behind it no longer hold.
        auto at = std::upper_bound(marks_.begin(), marks_.end(), dirtyFrom_,
                                   [](int pos, const Mark &m) { return pos < m.pos; });
        marks_.erase(at, marks_.end());
        written_ = marks_.back().pos;
        bytes_ = marks_.back().bytes;
        if (rewriting_ || end - written_ <= kSlice) {
            // The side file, or a short tail of the copy, is cut and written
            // again by one job.
            truncateTo = bytes_;
        } else {
            // A long rewrite goes to the side file, so that the copy stays
            // whole until the new one is.
            DiskWriter::get().post([from = native(path_), to = native(sidePath(path_)), n = bytes_] {
                copyPrefixJob(from, to, n);
            });
            rewriting_ = true;
        }
    }
    dirtyFrom_ = INT_MAX;
    if (written_ < end) {
        if (path_.isEmpty()) {
            const QString folder = recoveredFolder();
            QDir().mkpath(folder);
            QString base = QFileInfo(name_()).completeBaseName();
            if (base.isEmpty())
                base = QStringLiteral("CFile");
            const QString stem = folder + u'/' + base + u' ' + now().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
            path_ = stem + QStringLiteral(".txt");
            for (int n = 2; QFileInfo::exists(path_) || livePaths().contains(path_); ++n)
                path_ = stem + QStringLiteral(" (") + QString::number(n) + QStringLiteral(").txt");
            livePaths().insert(path_);
            SaveSetting(AppTitle, kSection, kLivePrefix + QFileInfo(path_).fileName(), path_);
            truncateTo = 0;
        }
        int to = std::min(end, written_ + kSlice);
        if (to < end && doc_->characterAt(to - 1).isHighSurrogate())
            --to;
        QTextCursor c(doc_);
        c.setPosition(written_);
        c.setPosition(to, QTextCursor::KeepAnchor);
        QString text = c.selectedText();
        text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
        text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        text.remove(QChar::ObjectReplacementCharacter);
        QByteArray data = text.toUtf8();
        const qint64 size = data.size();
        DiskWriter::get().post([p = native(rewriting_ ? sidePath(path_) : path_), truncateTo, d = std::move(data)] {
            appendJob(p, truncateTo, d);
        });
        bytes_ += size;
        written_ = to;
        marks_.push_back(Mark{to, bytes_});
    }
    if (written_ < end) {
        // The rest of a large text in the next turn of the event loop.
        timer_.start(0);
        return;
    }
    if (rewriting_) {
        DiskWriter::get().post([from = native(sidePath(path_)), to = native(path_)] { renameJob(from, to); });
        rewriting_ = false;
    }
    // While a copy exists, a save (which changes no text) is noticed here.
    if (!path_.isEmpty())
        timer_.start(kIntervalMs);
}

void RecoveryCopy::keep()
{
    if (kept_)
        return;
    if (changed_() && !doc_->isEmpty()) {
        do
            step();
        while (timer_.isActive() && timer_.interval() == 0);
    }
    timer_.stop();
    kept_ = !path_.isEmpty();
    waitWritten();
}

void RecoveryCopy::waitWritten() { DiskWriter::get().waitIdle(); }

bool RecoveryCopy::isLive(const QString &path) { return livePaths().contains(path); }

} // namespace vt
