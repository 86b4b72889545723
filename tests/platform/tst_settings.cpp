// The settings store's writes: gathered into one write per file and burst,
// read back at once by this process, on disk for other copies when the
// burst ends, and every value as QSettings (which reads the files) gives it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include "platform/settings.h"

namespace {

const QString kApp = QStringLiteral("Vantrell0");

// What another copy reads: the file as it is on disk now.
QString onDisk(const QString &section, const QString &key)
{
    QSettings s(vt::settingsFile(kApp), QSettings::IniFormat);
    return s.value(section + u'/' + key).toString();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        vt::flushSettings();
        QDir(vt::settingsFolder()).removeRecursively();
    }

    void valuesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("line settings, commas") << QStringLiteral("4800,n,8,1");
        QTest::newRow("blanks at both ends") << QStringLiteral("  padded  ");
        QTest::newRow("quotes and backslashes") << QStringLiteral("C:\\Data\\\"shots\".rtf");
        QTest::newRow("typed-looking text") << QStringLiteral("@Variant(abc)");
        QTest::newRow("comment and equals signs") << QStringLiteral("; x=1 # y");
        QTest::newRow("line ends and tabs") << QStringLiteral("a\r\nb\tc\n");
        QTest::newRow("control character before a hex digit") << (QString(QChar(1)) + QStringLiteral("Af"));
        QTest::newRow("non-ASCII") << QStringLiteral("Ωmega é 😀");
    }

    void valuesReadBackAsWritten()
    {
        QFETCH(QString, value);
        vt::SaveSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("Probe"), value);
        vt::SaveSetting(kApp, QStringLiteral("odd/section"), QStringLiteral("key with = and %"), value);
        vt::flushSettings();
        QCOMPARE(onDisk(QStringLiteral("frmMDI"), QStringLiteral("Probe")), value);
        QCOMPARE(vt::GetSetting(kApp, QStringLiteral("FRMMDI"), QStringLiteral("probe")), value);
        QCOMPARE(vt::GetSetting(kApp, QStringLiteral("odd/section"), QStringLiteral("key with = and %")), value);
    }

    // A burst of changes is one write of the file, when the burst has settled;
    // this process reads its changes before that.
    void burstIsOneWrite()
    {
        vt::SaveSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("SizWinX"), QStringLiteral("9000"));
        vt::flushSettings();
        const auto inode = [] {
            return QFileInfo(vt::settingsFile(kApp)).fileTime(QFileDevice::FileMetadataChangeTime);
        };
        const QDateTime written = inode();
        vt::SaveSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("SizWinX"), QStringLiteral("9100"));
        vt::SaveSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("SizWinY"), QStringLiteral("6000"));
        vt::DeleteSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("PosWinX"));
        QCOMPARE(vt::GetSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("SizWinX")), QStringLiteral("9100"));
        QCOMPARE(vt::GetAllSettings(kApp, QStringLiteral("frmMDI")).size(), 2);
        QCOMPARE(onDisk(QStringLiteral("frmMDI"), QStringLiteral("SizWinX")), QStringLiteral("9000"));
        QCOMPARE(inode(), written);
        QTRY_VERIFY_WITH_TIMEOUT(!vt::settingsWaiting(), 60000); // a bound for a hung test only
        QCOMPARE(onDisk(QStringLiteral("frmMDI"), QStringLiteral("SizWinX")), QStringLiteral("9100"));
        QCOMPARE(onDisk(QStringLiteral("frmMDI"), QStringLiteral("SizWinY")), QStringLiteral("6000"));
    }

    // The instance records other copies read are on disk as soon as the
    // program's thread returns to its event loop.
    void recordsReachPeersAtTheEndOfTheBurst()
    {
        vt::SaveSetting(kApp, QStringLiteral("frmComSet"), QStringLiteral("CommPort"), QStringLiteral("3"));
        vt::SaveSetting(kApp, QStringLiteral("Pemdora"), QStringLiteral("AppRun"), kApp);
        vt::SaveSetting(kApp, QStringLiteral("Pemdora"), QStringLiteral("AppPrt"), QStringLiteral("3"));
        QCOMPARE(onDisk(QStringLiteral("Pemdora"), QStringLiteral("AppRun")), QString());
        QCoreApplication::processEvents();
        QCOMPARE(onDisk(QStringLiteral("Pemdora"), QStringLiteral("AppRun")), kApp);
        QCOMPARE(onDisk(QStringLiteral("Pemdora"), QStringLiteral("AppPrt")), QStringLiteral("3"));
        QCOMPARE(onDisk(QStringLiteral("frmComSet"), QStringLiteral("CommPort")), QStringLiteral("3"));
        QVERIFY(!vt::settingsWaiting());
    }

    // A rewrite changes only the lines of the keys it sets: values of other
    // forms, comments and other sections stay as they were.
    void untouchedLinesStay()
    {
        QFile f(vt::settingsFile(kApp));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; kept\n[frmMDI]\nList=a, b\nSizWinX=1\n\n[Other]\nX=@Variant(\\0\\0\\0\\x7f)\n");
        f.close();
        vt::SaveSetting(kApp, QStringLiteral("FRMMDI"), QStringLiteral("sizwinx"), QStringLiteral("2"));
        vt::SaveSetting(kApp, QStringLiteral("New"), QStringLiteral("Y"), QStringLiteral("3"));
        vt::DeleteSetting(kApp, QStringLiteral("Gone"));
        vt::flushSettings();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("; kept\n[frmMDI]\nList=a, b\nSizWinX=\"2\"\n\n[Other]\n"
                                         "X=@Variant(\\0\\0\\0\\x7f)\n\n[New]\nY=\"3\"\n"));
    }

    // Removing the whole application's settings is at once, and drops the
    // changes that waited for its file.
    void deletingTheApplicationDropsWaitingChanges()
    {
        vt::SaveSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("A"), QStringLiteral("1"));
        vt::flushSettings();
        vt::SaveSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("B"), QStringLiteral("2"));
        vt::DeleteSetting(kApp);
        QVERIFY(!QFile::exists(vt::settingsFile(kApp)));
        QVERIFY(!vt::settingsWaiting());
        QCOMPARE(vt::GetSetting(kApp, QStringLiteral("frmMDI"), QStringLiteral("B"), QStringLiteral("none")),
                 QStringLiteral("none"));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
