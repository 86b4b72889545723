#include "platform/helpviewer.h"

#include "platform/msgbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace vt::help {

namespace {

constexpr int kNoticeStyle = vbOKOnly | vbExclamation | vbSystemModal | vbMsgBoxSetForeground;

class Viewer : public QWidget {
public:
    explicit Viewer(QWidget *owner) : QWidget(owner, Qt::Window)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        resize(760, 560);
        auto *bar = new QHBoxLayout;
        for (auto [name, caption] : {std::pair{"cmdContents", "&Contents"}, std::pair{"cmdIndex", "&Index"},
                                     std::pair{"cmdSearch", "&Search"}}) {
            auto *b = new QPushButton(QString::fromLatin1(caption), this);
            b->setObjectName(QString::fromLatin1(name));
            bar->addWidget(b);
            buttons_ << b;
        }
        bar->addStretch();
        searchPanel_ = new QWidget(this);
        searchPanel_->setObjectName(QStringLiteral("searchPanel"));
        searchText_ = new QLineEdit(searchPanel_);
        searchText_->setObjectName(QStringLiteral("txtSearch"));
        auto *go = new QPushButton(QStringLiteral("&List Topics"), searchPanel_);
        go->setObjectName(QStringLiteral("cmdListTopics"));
        results_ = new QListWidget(searchPanel_);
        results_->setObjectName(QStringLiteral("lstTopics"));
        results_->setMaximumHeight(140);
        auto *sl = new QVBoxLayout(searchPanel_);
        sl->setContentsMargins(0, 0, 0, 0);
        auto *line = new QHBoxLayout;
        line->addWidget(searchText_);
        line->addWidget(go);
        sl->addLayout(line);
        sl->addWidget(results_);
        searchPanel_->hide();
        browser_ = new QTextBrowser(this);
        browser_->setObjectName(QStringLiteral("browser"));
        browser_->setOpenExternalLinks(true);
        auto *lay = new QVBoxLayout(this);
        lay->addLayout(bar);
        lay->addWidget(searchPanel_);
        lay->addWidget(browser_, 1);

        connect(buttons_[0], &QPushButton::clicked, this, [this] { openPage(QStringLiteral("contents.html")); });
        connect(buttons_[1], &QPushButton::clicked, this, [this] { openPage(QStringLiteral("index.html")); });
        connect(buttons_[2], &QPushButton::clicked, this, [this] { showSearch(QString()); });
        connect(go, &QPushButton::clicked, this, [this] { runSearch(); });
        connect(searchText_, &QLineEdit::returnPressed, this, [this] { runSearch(); });
        connect(results_, &QListWidget::itemActivated, this,
                [this](QListWidgetItem *it) { openPage(it->data(Qt::UserRole).toString()); });
        connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
            const QString t = browser_->documentTitle();
            setWindowTitle(t.isEmpty() ? QStringLiteral("Help") : t);
        });
    }
    ~Viewer() override { disconnect(browser_, nullptr, this, nullptr); }

    void setFolder(const QString &folder) { folder_ = folder; }

    void openPage(const QString &pageAndAnchor)
    {
        const qsizetype hash = pageAndAnchor.indexOf(u'#');
        const QString page = hash < 0 ? pageAndAnchor : pageAndAnchor.left(hash);
        QUrl url = QUrl::fromLocalFile(QDir(folder_).filePath(page));
        if (hash >= 0)
            url.setFragment(pageAndAnchor.mid(hash + 1));
        searchPanel_->setVisible(false);
        browser_->setSource(url);
    }

    void showSearch(const QString &text)
    {
        searchPanel_->setVisible(true);
        searchText_->setText(text);
        searchText_->setFocus();
        runSearch();
    }

private:
    void runSearch()
    {
        results_->clear();
        for (const QString &hit : search(folder_, searchText_->text())) {
            auto *it = new QListWidgetItem(hit.section(u'\t', 0, 0), results_);
            it->setData(Qt::UserRole, hit.section(u'\t', 1));
        }
    }

    QString folder_;
    QList<QPushButton *> buttons_;
    QWidget *searchPanel_ = nullptr;
    QLineEdit *searchText_ = nullptr;
    QListWidget *results_ = nullptr;
    QTextBrowser *browser_ = nullptr;
};

QPointer<Viewer> &theViewer()
{
    static QPointer<Viewer> v;
    return v;
}

void tell(const QString &what, const QString &path)
{
    MsgBox(what + QStringLiteral("\r\n") + QDir::toNativeSeparators(path), kNoticeStyle);
}

// The page of a context number from the folder's map; empty when unmapped.
QString contextPage(const QString &folder, int number)
{
    QFile f(QDir(folder).filePath(QStringLiteral("contexts.txt")));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        const QStringList p = line.simplified().split(u' ');
        bool ok = false;
        if (p.size() >= 2 && p[0].toInt(&ok) == number && ok)
            return p[1];
    }
    return {};
}

} // namespace

QWidget *viewer() { return theViewer(); }

QStringList search(const QString &folder, const QString &words)
{
    const QStringList wanted = words.simplified().split(u' ', Qt::SkipEmptyParts);
    if (wanted.isEmpty())
        return {};
    QStringList hits;
    const QStringList pages = QDir(folder).entryList({QStringLiteral("*.html"), QStringLiteral("*.htm")},
                                                     QDir::Files, QDir::Name);
    for (const QString &page : pages) {
        QFile f(QDir(folder).filePath(page));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(f.readAll()));
        const QString text = doc.toPlainText();
        bool all = true;
        for (const QString &w : wanted)
            all = all && text.contains(w, Qt::CaseInsensitive);
        if (all) {
            const QString title = doc.metaInformation(QTextDocument::DocumentTitle);
            hits << (title.isEmpty() ? page : title) + u'\t' + page;
        }
    }
    return hits;
}

QWidget *HtmlHelp(QWidget *owner, const QString &file, int command, int contextNumber, const QString &searchText)
{
    const qsizetype gt = file.lastIndexOf(u'>');
    const QString folder = gt < 0 ? file : file.left(gt);
    const QString window = gt < 0 ? QStringLiteral("Main") : file.mid(gt + 1);

    if (!QFileInfo(folder).isDir()) {
        tell(QStringLiteral("The help file could not be found:"), folder);
        return nullptr;
    }
    QString page;
    switch (command) {
    case DisplayToc: page = QStringLiteral("contents.html"); break;
    case DisplayIndex: page = QStringLiteral("index.html"); break;
    case DisplaySearch: break;
    case HelpContext:
        page = contextPage(folder, contextNumber);
        if (page.isEmpty()) {
            tell(QStringLiteral("The help file has no topic for context number %1:").arg(contextNumber), folder);
            return nullptr;
        }
        break;
    default: return nullptr;
    }
    if (!page.isEmpty()) {
        const QString path = QDir(folder).filePath(page.section(u'#', 0, 0));
        if (!QFileInfo(path).isFile()) {
            tell(QStringLiteral("The help page could not be found:"), path);
            return nullptr;
        }
    }

    Viewer *v = theViewer();
    if (!v) {
        v = new Viewer(owner);
        theViewer() = v;
    }
    v->setObjectName(window);
    v->setFolder(folder);
    if (command == DisplaySearch)
        v->showSearch(searchText);
    else
        v->openPage(page);
    v->show();
    v->raise();
    v->activateWindow();
    return v;
}

} // namespace vt::help
