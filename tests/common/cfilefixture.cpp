#include "common/cfilefixture.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/epCmDlg.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modShared.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <memory>

namespace vttest {

namespace {
std::unique_ptr<EditorFakes> fakes;
}

EditorFakes &startEditor()
{
    fakes = std::make_unique<EditorFakes>();
    vt::Err.Clear();
    vt::DeleteSetting(vt::AppTitle);
    vt::answers::reset();
    vt::CFileSeqNum = 0;
    vt::FirstFileCmd = false;
    vt::ShowWarn = false;
    vt::ShowWarnKT = false;
    vt::SoftEdit = false;
    vt::RxRoute[1] = false;
    vt::Device = 0;
    vt::cmDlg = vt::epCmDlg();
    vt::installEditorSubsystem();
    vt::installSerial(&fakes->serial);
    vt::installRemote(&fakes->remote);
    vt::installNotes(&fakes->notes);
    vt::frmMDI *mdi = vt::frmMDI::get();
    mdi->show();
    mdi->activateWindow();
    QCoreApplication::processEvents();
    return *fakes;
}

void stopEditor()
{
    for (vt::frmDocument *doc : vt::openCFiles())
        doc->bChanged = false;
    if (vt::frmMDI::isLoaded())
        vt::frmMDI::get()->unload(vt::vbFormCode);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    vt::installSerial(nullptr);
    vt::installRemote(nullptr);
    vt::installNotes(nullptr);
    vt::installEditor(nullptr);
    vt::Err.Clear();
    fakes.reset();
}

vt::RichTextBox *newCFile(const QString &text)
{
    vt::CreateNewCFile();
    vt::RichTextBox *box = vt::ActiveForm()->rtfText;
    box->SetText(text);
    return box;
}

void triggerItem(const char *item)
{
    QAction *a = vt::menuItem(vt::frmMDI::get(), QString::fromLatin1(item));
    QVERIFY2(a, item);
    a->setEnabled(true);
    a->trigger();
}

QStringList boxTexts()
{
    QStringList texts;
    for (const vt::answers::Record &r : vt::answers::asked())
        if (r.question.kind == QLatin1String("box"))
            texts << r.question.text;
    return texts;
}

} // namespace vttest
