// The program's own icon on its windows, and the desktop entry that starts it
// from a desktop's menu.
#include "vt_paths.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTest>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/appicon.h"
#include "platform/progfolder.h"
#include "serial/frmTerminal.h"
#include "shell/frmAbout.h"
#include "shell/frmMDI.h"
#include "shell/frmMsgBox.h"

using namespace vt;

namespace {
QMap<QString, QString> entryOf(const QString &path)
{
    QMap<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return keys;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    if (lines.value(0) != QStringLiteral("[Desktop Entry]"))
        return keys;
    for (const QString &line : lines)
        if (line.contains(u'=') && !line.startsWith(u'#'))
            keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    return keys;
}
} // namespace

class TestProgramIcon : public QObject {
    Q_OBJECT
private slots:
    void iconIsOurDrawingAtEverySize()
    {
        useProgramIcon();
        const QIcon icon = QGuiApplication::windowIcon();
        for (int size : {16, 32, 48, 256}) {
            const QImage img = icon.pixmap(size, size).toImage();
            QCOMPARE(img.size(), QSize(size, size));
            // Dark blue ground at the top middle (between the arms of the V),
            // white on the V's point, orange on the bullet, and the
            // rounded corner left clear.
            const auto at = [&](double x, double y) { return img.pixelColor(int(x * size / 64), int(y * size / 64)); };
            // Edges are smoothed, so a colour is matched within a small margin.
            const auto near = [](const QColor &a, const char *b) {
                const QColor c(QString::fromLatin1(b));
                return qAbs(a.red() - c.red()) < 24 && qAbs(a.green() - c.green()) < 24 && qAbs(a.blue() - c.blue()) < 24;
            };
            QVERIFY2(near(at(32, 8), "#1d4e6e"), qPrintable(at(32, 8).name()));
            QVERIFY2(near(at(32, 40), "#ffffff"), qPrintable(at(32, 40).name()));
            QVERIFY2(near(at(48, 52), "#f29b30"), qPrintable(at(48, 52).name()));
            QCOMPARE(at(0, 0).alpha(), 0);
        }
    }

    void everyWindowShowsIt()
    {
        useProgramIcon();
        vttest::startEditor();
        CreateNewCFile();
        QVERIFY(ActiveForm());
        frmAbout::get()->show();
        frmTerminal::get()->show();
        frmMsgBox::get()->show();
        const qint64 ours = QGuiApplication::windowIcon().cacheKey();
        QList<QWidget *> windows = QApplication::topLevelWidgets();
        windows << ActiveForm()->subWindow() << ActiveForm();
        int shown = 0;
        for (QWidget *w : windows) {
            if (!w->isVisible())
                continue;
            ++shown;
            QVERIFY2(w->windowIcon().cacheKey() == ours, qPrintable(w->objectName()));
        }
        QVERIFY(shown >= 6);
        frmMsgBox::get()->unload();
        vttest::stopEditor();
    }

    void desktopEntryStartsTheProgram()
    {
        // The shipped entry names the program and its icon by name, for an
        // installation on the path.
        const QMap<QString, QString> shipped = entryOf(QStringLiteral(VT_RESOURCES_DIR "/vantrell.desktop"));
        QCOMPARE(shipped.value("Type"), QStringLiteral("Application"));
        QCOMPARE(shipped.value("Name"), QStringLiteral("Vantrell"));
        QCOMPARE(shipped.value("Exec"), QStringLiteral("vantrell"));
        QCOMPARE(shipped.value("Icon"), QStringLiteral("vantrell"));
        QVERIFY(QFile::exists(QStringLiteral(VT_RESOURCES_DIR "/vantrell.svg")));

        // The program folder's copy names this program and the folder's icon,
        // quoted where the path needs it.
        seedProgramFolder();
        const QString folder = programFolder();
        const QList<QPair<QString, QString>> cases{
            {QStringLiteral("/opt/vantrell/bin/vantrell"), QStringLiteral("/opt/vantrell/bin/vantrell")},
            {QStringLiteral("/home/a b/vantrell"), QStringLiteral("\"/home/a b/vantrell\"")},
            {QStringLiteral("/x/$y\\z"), QStringLiteral("\"/x/\\\\$y\\\\\\\\z\"")},
        };
        for (const auto &[program, exec] : cases) {
            QVERIFY(writeDesktopEntry(folder, program));
            const QMap<QString, QString> copy = entryOf(folder + QStringLiteral("/vantrell.desktop"));
            QCOMPARE(copy.value("Exec"), exec);
            QCOMPARE(copy.value("Name"), QStringLiteral("Vantrell"));
            QCOMPARE(copy.value("Icon"), folder + QStringLiteral("/vantrell.svg"));
        }
        QVERIFY(QFile(folder + QStringLiteral("/vantrell.svg")).size() > 0);
        QVERIFY(QFile::permissions(folder + QStringLiteral("/vantrell.desktop")) & QFileDevice::ExeOwner);
        QVERIFY(!writeDesktopEntry(folder + QStringLiteral("/no/such/folder"), QStringLiteral("/bin/vantrell")));
    }
};

QTEST_MAIN(TestProgramIcon)
#include "tst_programicon.moc"
