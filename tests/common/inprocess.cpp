#include "common/inprocess.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "tools/modSubsystems.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace vttest {

bool runProgramWith(const std::function<void()> &whileRunning)
{
    QTemporaryDir ready;
    if (!ready.isValid())
        return false;
    // The program writes this file once it has started.
    const QString readyFile = ready.filePath(QStringLiteral("ready"));
    qputenv("VANTRELL_READY", readyFile.toLocal8Bit());
    vt::answers::reset();

    bool ran = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (ran || !QFile::exists(readyFile))
            return;
        ran = true;
        poll.stop();
        whileRunning();
        for (vt::frmDocument *doc : vt::openCFiles())
            doc->bChanged = false;
        vt::frmMDI::get()->unload(vt::vbFormCode);
        QCoreApplication::exit(0);
    });
    poll.start();
    vt::installSubsystems();
    vt::Main(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    qunsetenv("VANTRELL_READY");
    return ran;
}

} // namespace vttest
