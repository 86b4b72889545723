// Reading and writing the rich-text box's whole text: RTF and plain-text
// files, RTF strings of the text or the selection, and the large file read
// in steps that keep the windows going.
#include "platform/richtext.h"
#include "platform/richtext_parts.h"

#include "platform/errors.h"
#include "platform/filesave.h"
#include "platform/longwork.h"
#include "platform/rtfmodel.h"
#include "platform/rtfreader.h"
#include "platform/rtfwriter.h"
#include "platform/timers.h"
#include "platform/waiting.h"

#include <QFile>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <atomic>

namespace vt {

namespace {

constexpr qint64 kMaxFileBytes = qint64(512) << 20;
// From this size on a load given a progress report goes in steps.
constexpr qint64 kSteppedLoadBytes = qint64(1) << 20;

// Plain files: UTF-8 when they are valid UTF-8, else code page 1252.
QString decodePlain(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = utf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    return utf8.hasError() ? rtf::cp1252Text(bytes) : s;
}

} // namespace

namespace richtext {

rtf::Document plainModel(const QString &text, const rtf::CharFormat &f, const std::atomic<bool> *cancel)
{
    rtf::Document m;
    rtf::Paragraph p;
    p.endFormat = f;
    auto finish = [&](QString line) {
        rtf::Paragraph q = p;
        line.replace(QChar('\v'), QChar::LineSeparator);
        line.remove(QChar::ParagraphSeparator);
        line.remove(QChar(0));
        if (!line.isEmpty())
            q.runs.push_back(rtf::Run{f, line, {}, 0, 0});
        m.paragraphs.push_back(std::move(q));
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QChar('\r') || c == QChar('\n')) {
            // A cancelled read gives up within a few thousand lines; what it
            // made is thrown away.
            if (cancel && m.paragraphs.size() % 4096 == 0 && *cancel)
                return m;
            finish(text.mid(start, i - start));
            if (c == QChar('\r') && i + 1 < text.size() && text[i + 1] == QChar('\n'))
                ++i;
            start = i + 1;
        }
    }
    finish(text.mid(start));
    return m;
}

} // namespace richtext

QByteArray RichTextBox::TextRTF() const
{
    flushHeld();
    return rtf::writeRtf(rtf::modelFromDocument(document()), document()->defaultFont().family());
}

void RichTextBox::SetTextRTF(const QByteArray &rtf)
{
    replaceDocument(rtf, true);
}

QByteArray RichTextBox::SelRTF() const
{
    flushHeld();
    const QTextCursor c = textCursor();
    return rtf::writeRtf(rtf::modelFromDocument(document(), c.selectionStart(), c.selectionEnd()),
                         document()->defaultFont().family());
}

void RichTextBox::SetSelRTF(const QByteArray &rtf)
{
    flushHeld();
    if (!rtf::looksLikeRtf(rtf))
        vt::raise(321);
    QTextCursor c = textCursor();
    rtf::insertModel(c, rtf::readRtf(rtf).document);
    setTextCursor(c);
}

void RichTextBox::replaceDocument(const QByteArray &bytes, bool rich)
{
    flushHeld();
    rtf::Document model;
    loadSkipped_.clear();
    if (rich) {
        if (!rtf::looksLikeRtf(bytes))
            vt::raise(321);
        rtf::ReadResult read = rtf::readRtf(bytes);
        model = std::move(read.document);
        loadSkipped_ = read.skipped.describe();
    } else {
        model = richtext::plainModel(decodePlain(bytes), rtf::fromQt(QTextCharFormat(), document()->defaultFont()));
    }
    keepPaged();
    rtf::fillDocument(document(), model);
    document()->clearUndoRedoStacks();
    setTextCursor(QTextCursor(document()));
}

void RichTextBox::LoadFile(const QString &path, int fileType, const LoadProgress &progress)
{
    if (fileType != rtfRTF && fileType != rtfText)
        vt::raise(380);
    const QFileInfo info(path);
    if (!info.exists())
        vt::raise(53);
    QFile f(path);
    if (info.isDir() || !f.open(QIODevice::ReadOnly))
        vt::raise(75);
    if (f.size() > kMaxFileBytes)
        vt::raise(7);
    QByteArray bytes = f.readAll();
    if (progress && bytes.size() >= kSteppedLoadBytes)
        replaceDocumentInSteps(std::move(bytes), fileType == rtfRTF, progress);
    else
        replaceDocument(bytes, fileType == rtfRTF);
}

namespace {

// A read of a whole file into the model on a thread of the pool. The job is
// shared with the thread: the thread leaves its outcome in it, and the caller
// gives the read up through `cancel`.
struct ReadJob {
    QByteArray bytes;
    bool rich = true;
    rtf::CharFormat plainFormat;
    std::atomic<bool> cancel{false};
    // Written by the thread, read once the read has finished.
    rtf::Document model;
    QStringList skipped;
    std::exception_ptr failure;
};

void readJob(ReadJob &job)
{
    try {
        if (job.rich) {
            rtf::ReadResult read = rtf::readRtf(job.bytes, &job.cancel);
            job.model = std::move(read.document);
            job.skipped = read.skipped.describe();
        } else {
            job.model = richtext::plainModel(decodePlain(job.bytes), job.plainFormat, &job.cancel);
        }
    } catch (...) {
        job.failure = std::current_exception();
    }
    job.bytes = QByteArray();
}

} // namespace

void RichTextBox::replaceDocumentInSteps(QByteArray bytes, bool rich, const LoadProgress &progress)
{
    if (rich && !rtf::looksLikeRtf(bytes))
        vt::raise(321);
    // Reading the file into the model needs no widget: it runs on a thread of
    // the pool while this one keeps the windows going. However this call ends
    // (read, cancelled, failed), the read has ended before it returns: a
    // cancelled one stops within a few thousand bytes or lines, and nothing
    // of it outlives the box or the program.
    auto job = std::make_shared<ReadJob>();
    job->bytes = std::move(bytes);
    job->rich = rich;
    job->plainFormat = rtf::fromQt(QTextCharFormat(), document()->defaultFont());
    longwork::backgroundStarted();
    QFutureWatcher<void> watcher;
    watcher.setFuture(QtConcurrent::run([job] {
        readJob(*job);
        longwork::backgroundEnded();
    }));
    struct StopRead {
        ReadJob &job;
        QFutureWatcher<void> &watcher;
        ~StopRead()
        {
            job.cancel = true;
            watcher.waitForFinished();
        }
    } stopRead{*job, watcher};

    auto cancelled = [&] {
        document()->clear();
        vt::raise(32755);
    };
    // The read's progress is not known from outside: it counts as the first
    // quarter, creeping on with the time so that the user sees the work go on.
    const int64_t readStart = monoMs();
    const waiting::End read = waiting::until({
        .done = [&] { return watcher.isFinished(); },
        .aborted = [&] { return !progress(int(std::min<int64_t>((monoMs() - readStart) / 50, 24))); },
    });
    if (read != waiting::End::Done)
        cancelled();
    if (job->failure)
        std::rethrow_exception(job->failure);
    loadSkipped_ = job->skipped;

    const size_t total = std::max<size_t>(job->model.paragraphs.size(), 1);
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    keepPaged();
    const bool whole = rtf::fillDocument(document(), job->model, 100, [&](size_t done) {
        const bool goOn = progress(25 + int(75.0 * double(done) / double(total)));
        waiting::turn();
        keepPaged(); // whatever ran may have laid the box out afresh
        return goOn;
    });
    document()->setUndoRedoEnabled(undo);
    if (!whole)
        cancelled();
    setTextCursor(QTextCursor(document()));
}

void RichTextBox::SaveFile(const QString &path, int fileType) const
{
    flushHeld();
    if (fileType != rtfRTF && fileType != rtfText)
        vt::raise(380);
    QByteArray bytes;
    if (fileType == rtfRTF) {
        bytes = TextRTF();
    } else {
        QString t = Text();
        t.replace(QChar('\v'), QStringLiteral("\r\n"));
        t.remove(QChar::ObjectReplacementCharacter);
        // Plain text always goes out as UTF-8; the reader takes UTF-8 when it
        // is valid and code page 1252 otherwise, so older files still open.
        bytes = t.toUtf8();
    }
    vt::writeWholeFile(path, bytes);
}

} // namespace vt
