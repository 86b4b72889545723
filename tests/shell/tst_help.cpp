#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/helpviewer.h"
#include "platform/progfolder.h"
#include "shell/frmAbout.h"
#include "shell/frmMDI.h"
#include "shell/modHTMLHelp.h"

using namespace vt;

// Catches the mail link the Technical Support button opens.
class MailCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &u) { urls << u; }
};

class TestHelp : public QObject {
    Q_OBJECT
    QString helpDir() const { return programFolder() + QStringLiteral("/help"); }
    QTextBrowser *browser() const
    {
        return help::viewer() ? help::viewer()->findChild<QTextBrowser *>(QStringLiteral("browser")) : nullptr;
    }

private slots:
    void init()
    {
        answers::reset();
        QDir(programFolder()).removeRecursively();
        seedProgramFolder();
    }
    void cleanup()
    {
        if (QWidget *v = help::viewer())
            v->close();
        if (frmAbout::isLoaded())
            frmAbout::get()->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void opensAtTheTopicAsked_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("page");
        QTest::newRow("contents") << 1 << "contents.html";
        QTest::newRow("index") << 2 << "index.html";
        QTest::newRow("topic 0") << 15 << "main.html";
    }
    void opensAtTheTopicAsked()
    {
        QFETCH(int, command);
        QFETCH(QString, page);
        if (command == 1) hlpContents(nullptr);
        else if (command == 2) hlpIndex(nullptr);
        else hlpContext(nullptr, 0);
        QVERIFY(help::viewer());
        QVERIFY(help::viewer()->isVisible());
        QCOMPARE(help::viewer()->objectName(), QStringLiteral("Main"));
        QCOMPARE(QFileInfo(browser()->source().toLocalFile()).fileName(), page);
        QVERIFY(browser()->toPlainText().contains(QStringLiteral("Vantrell")) || page == QLatin1String("index.html"));
        QVERIFY(help::viewer()->windowTitle().startsWith(QStringLiteral("Vantrell Help")));
        QVERIFY(answers::asked().isEmpty());
        // The same viewer serves the next call.
        QWidget *first = help::viewer();
        hlpContext(nullptr, 0);
        QCOMPARE(help::viewer(), first);
        QCOMPARE(QFileInfo(browser()->source().toLocalFile()).fileName(), QStringLiteral("main.html"));
    }

    // The Help menu of the main window reaches the same pages and the About window.
    void helpMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("page");
        QTest::newRow("contents") << "mnuHelpContents" << "contents.html";
        QTest::newRow("index") << "mnuHelpIndex" << "index.html";
        QTest::newRow("topic") << "mnuHelpTopic" << "main.html";
    }
    void helpMenu()
    {
        QFETCH(QString, item);
        QFETCH(QString, page);
        menuItem(frmMDI::get(), item)->trigger();
        QVERIFY(help::viewer() && help::viewer()->isVisible());
        QCOMPARE(QFileInfo(browser()->source().toLocalFile()).fileName(), page);
        QVERIFY(answers::asked().isEmpty());
    }
    void aboutFromTheMenu()
    {
        menuItem(frmMDI::get(), QStringLiteral("mnuHelpAbout"))->trigger();
        QVERIFY(frmAbout::isLoaded());
        QVERIFY(frmAbout::get()->isVisible());
        QCOMPARE(frmAbout::get()->lblVersion->text(), QStringLiteral("Version 1.4.0"));
    }

    void searchPanel()
    {
        hlpSearch(nullptr);
        QWidget *v = help::viewer();
        QVERIFY(v);
        QVERIFY(v->findChild<QWidget *>(QStringLiteral("searchPanel"))->isVisible());
        auto *text = v->findChild<QLineEdit *>(QStringLiteral("txtSearch"));
        auto *list = v->findChild<QListWidget *>(QStringLiteral("lstTopics"));
        QVERIFY(text->text().isEmpty());
        QCOMPARE(list->count(), 0); // the empty search finds nothing
        text->setText(QStringLiteral("standard deviation workbook"));
        QTest::mouseClick(v->findChild<QPushButton *>(QStringLiteral("cmdListTopics")), Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Vantrell Help - About this program"));
        emit list->itemActivated(list->item(0));
        QCOMPARE(QFileInfo(browser()->source().toLocalFile()).fileName(), QStringLiteral("main.html"));
        QCOMPARE(help::search(helpDir(), QStringLiteral("nosuchwordanywhere")), QStringList());
    }

    // Every link of the contents and the index leads to a page and an anchor that exist.
    void linksResolve()
    {
        static const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)(?:#([^\"]+))?\""));
        for (const QString &from : {QStringLiteral("contents.html"), QStringLiteral("index.html"), QStringLiteral("main.html")}) {
            QFile f(QDir(helpDir()).filePath(from));
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(from));
            const QString html = QString::fromUtf8(f.readAll());
            auto it = href.globalMatch(html);
            int links = 0;
            while (it.hasNext()) {
                const auto m = it.next();
                QFile target(QDir(helpDir()).filePath(m.captured(1)));
                QVERIFY2(target.open(QIODevice::ReadOnly), qPrintable(from + u' ' + m.captured(1)));
                if (!m.captured(2).isEmpty())
                    QVERIFY2(QString::fromUtf8(target.readAll()).contains(QStringLiteral("name=\"") + m.captured(2) + u'"'),
                             qPrintable(from + u' ' + m.captured(0)));
                ++links;
            }
            QVERIFY(links > 0);
        }
    }

    // Every section of the help page can be reached from the contents and from the index.
    void everySectionIsListed()
    {
        auto read = [this](const QString &name) {
            QFile f(QDir(helpDir()).filePath(name));
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        static const QRegularExpression anchor(QStringLiteral("<a name=\"([^\"]+)\""));
        const QString main = read(QStringLiteral("main.html"));
        QStringList sections;
        for (auto it = anchor.globalMatch(main); it.hasNext();)
            sections << it.next().captured(1);
        QVERIFY(sections.size() > 5);
        for (const QString &list : {QStringLiteral("contents.html"), QStringLiteral("index.html")}) {
            const QString html = read(list);
            for (const QString &s : sections)
                QVERIFY2(html.contains(QStringLiteral("href=\"main.html#") + s + u'"'), qPrintable(list + u' ' + s));
        }
    }

    void missingHelpIsTold_data()
    {
        QTest::addColumn<QString>("remove");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("message");
        QTest::newRow("no help folder") << "" << 1 << 0 << "The help file could not be found:";
        QTest::newRow("no index page") << "index.html" << 2 << 0 << "The help page could not be found:";
        QTest::newRow("no topic page") << "main.html" << 15 << 0 << "The help page could not be found:";
        QTest::newRow("unknown context") << "-" << 15 << 99 << "The help file has no topic for context number 99:";
    }
    void missingHelpIsTold()
    {
        QFETCH(QString, remove);
        QFETCH(int, command);
        QFETCH(int, context);
        QFETCH(QString, message);
        if (remove.isEmpty())
            QDir(helpDir()).removeRecursively();
        else if (remove != QLatin1String("-"))
            QVERIFY(QFile::remove(QDir(helpDir()).filePath(remove)));
        QVERIFY(trapErrors([&] {
            if (command == 1) hlpContents(nullptr);
            else if (command == 2) hlpIndex(nullptr);
            else hlpContext(nullptr, context);
        }));
        QVERIFY(!help::viewer());
        QCOMPARE(answers::asked().size(), 1);
        const answers::Question q = answers::last().question;
        QCOMPARE(q.kind, QStringLiteral("box"));
        QCOMPARE(q.buttons, QStringList{QStringLiteral("OK")});
        QVERIFY2(q.text.startsWith(message + QStringLiteral("\r\n") + helpDir()), qPrintable(q.text));
    }

    void aboutWindow()
    {
        MailCatcher mail;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
        frmAbout *a = frmAbout::get();
        a->show();
        QCOMPARE(a->windowTitle(), QStringLiteral("Vantrell Information"));
        QCOMPARE(a->Label1->text(), QStringLiteral("Vantrell"));
        QCOMPARE(a->lblVersion->text(), QStringLiteral("Version 1.4.0"));
        QCOMPARE(a->cmdSupport->text(), QStringLiteral("&Technical Support"));
        QVERIFY(!a->isModal());
        QTest::mouseClick(a->cmdSupport, Qt::LeftButton);
        QCOMPARE(mail.urls, QList<QUrl>{QUrl(QStringLiteral("mailto:") + SupportAddress)});
        QTest::mouseClick(a->cmdOK, Qt::LeftButton);
        QVERIFY(!frmAbout::isLoaded());
        // Esc is the Close button.
        a = frmAbout::get();
        a->show();
        QTest::keyClick(a, Qt::Key_Escape);
        QVERIFY(!frmAbout::isLoaded());
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
