// The operator switches of the global module.
#include "shell/modMain.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"

namespace vt {

namespace {
const QString kSection = QStringLiteral("Pemdora");
}

void zapSoftFlags()
{
    SoftDebugSee = false;
    SoftDebug = false;
    SoftTest = false;
    GetRegistry = true;
    SaveRegistry = true;
    ClearRegistry = false;
    SoftMore = false;
    SoftEdit = false;
    UserLevel = 0;
}

void getSoftFlags()
{
    auto b = [](const char *key, bool def) {
        return GetSettingBool(AppTitle, kSection, QString::fromLatin1(key), def);
    };
    SoftDebugSee = b("SoftDebugSee", false);
    SoftDebug = b("SoftDebug", false);
    SoftTest = b("SoftTest", false);
    GetRegistry = b("GetRegistry", true);
    SaveRegistry = b("SaveRegistry", true);
    ClearRegistry = b("ClearRegistry", false);
    SoftMore = b("SoftMore", false);
    SoftEdit = b("SoftEdit", false);
    const int level = GetSettingInt(AppTitle, kSection, QStringLiteral("UserLevel"), 4);
    UserLevel = int16_t(level < 0 || level > 4 ? 4 : level);
}

void savSoftFlags()
{
    auto s = [](const char *key, bool v) { SaveSetting(AppTitle, kSection, QString::fromLatin1(key), BoolText(v)); };
    s("SoftDebugSee", SoftDebugSee);
    s("SoftDebug", SoftDebug);
    s("SoftTest", SoftTest);
    s("GetRegistry", GetRegistry);
    s("SaveRegistry", SaveRegistry);
    s("ClearRegistry", ClearRegistry);
    s("SoftMore", SoftMore);
    s("SoftEdit", SoftEdit);
    SaveSetting(AppTitle, kSection, QStringLiteral("UserLevel"), QString::number(UserLevel));
}

void togSoftTest(int16_t mode)
{
    if (mode < 0 || mode > 3)
        return;
    const QString head = QStringLiteral("Current Test Level is (") + QString::number(UserLevel) + QStringLiteral(")\r\n\r\n");
    const int style = vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground;
    const QString title = QStringLiteral(" Software Test...");
    auto ask = [&](const QString &words) { return MsgBox(head + words, style, title) == vbYes; };
    // Switching a mode off keeps the level for later; switching it on brings that level back.
    auto toggle = [&](bool &on, const QString &what) {
        if (!ask(QLatin1String(on ? "Deactivate" : "Activate") + what))
            return;
        on = !on;
        if (on)
            UserLevel = UserLevelIni;
        else
            UserLevelIni = UserLevel;
    };
    switch (mode) {
    case 0:
        if (SoftTest && ask(QStringLiteral("Increment Test Level..?")) && UserLevel < 4)
            ++UserLevel;
        break;
    case 1:
        if (SoftTest && ask(QStringLiteral("Decrement Test Level..?")) && UserLevel > 0)
            --UserLevel;
        break;
    case 2:
        toggle(SoftTest, QStringLiteral(" Software Test Mode..?"));
        break;
    case 3:
        toggle(SoftDebugSee, QStringLiteral(" Debug Mode..?"));
        if (frmMDI::isLoaded())
            frmMDI::get()->showDebugMenu(SoftDebugSee);
        break;
    default:
        break;
    }
}

void zapRegSections()
{
    static const char *const sections[] = {"frmMDI", "CFile", "Pemdora", "frmVipNotes", "frmComSet",
                                           "frmErrox", "modMRU", "frmExpSet", "frmRemCtr", "frmBuffer"};
    ResumeNext rn;
    for (const char *s : sections)
        rn([&] { DeleteSetting(AppTitle, QString::fromLatin1(s)); });
}

} // namespace vt
