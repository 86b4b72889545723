// Recovery copies kept while a CFile has unsaved changes, so that a crash, a
// SIGKILL or a power cut loses at most the last few seconds of a capture.
//
// Each CFile's copy is plain text (UTF-8, CR LF line ends) in the program
// folder's "recovered" folder, recorded in the copy's settings section
// "Recovered" under "Live " and its file name; the next start names it as it
// names the copies written when the program is ended from outside.
//
// Cost. A change of the document only notes the lowest position it touched.
// A timer, at most every couple of seconds and only while changes are
// pending, reads the text from that position on (for shots: only the new
// lines) and hands it to one writer thread that appends it and syncs it to
// the disk; the receive path never waits on the disk. An edit above text
// already written rewrites from the last point written before the edit; a
// long rewrite goes to a side file renamed over the copy once complete, so
// the copy on disk is always whole. A large text is read in slices with the
// event loop running between them.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QTextDocument;

namespace vt {

class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    // name: the CFile's caption (the copy is named after it); changed: whether
    // it holds changes that are not saved.
    RecoveryCopy(QTextDocument *doc, std::function<QString()> name, std::function<bool()> changed,
                 QObject *parent = nullptr);
    // Removes the copy unless keep() was called.
    ~RecoveryCopy() override;

    // The copy's path; empty while there is none.
    QString path() const { return path_; }
    // The CFile was closed or its changes dropped: the copy and its record go.
    void discard();
    // The program ends without another copy of this text: brings the copy up
    // to the current text at once and leaves it, with its record, for the
    // next start.
    void keep();

    // Time between two writes while changes arrive.
    static constexpr int kIntervalMs = 2000;
    // Waits until the writer thread has done everything handed to it.
    static void waitWritten();
    // Whether path is the copy of a CFile open in this run (the start-up
    // notice leaves those alone).
    static bool isLive(const QString &path);

private:
    void onChange(int from);
    void step();
    void reset();

    struct Mark {
        int pos;        // document position ...
        qint64 bytes;   // ... and the copy's size when the text up to it was written
    };

    QTextDocument *doc_;
    std::function<QString()> name_;
    std::function<bool()> changed_;
    QTimer timer_;
    QString path_;
    bool kept_ = false;
    bool rewriting_ = false;      // writing into the side file
    int dirtyFrom_ = 0;           // lowest position changed since the last write
    int written_ = 0;             // document text [0, written_) is in the copy
    qint64 bytes_ = 0;            // the size of the file being written
    std::vector<Mark> marks_{{0, 0}};
};

} // namespace vt
