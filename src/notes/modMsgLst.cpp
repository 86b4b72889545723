#include "notes/modMsgLst.h"

#include "platform/msgbox.h"
#include "shell/modShared.h"

namespace vt {

bool askChronoWarn(const QString &text)
{
    if (!ShowWarnKT)
        return true;
    const QString prompt = QStringLiteral("For more information click on [Cancel]  \r\n\r\n") + text + QStringLiteral(" ?");
    switch (MsgBox(prompt, vbYesNoCancel | vbDefaultButton1 | vbApplicationModal)) {
    case vbYes:
        return true;
    case vbCancel:
        stpChronoWarn();
        return false;
    default:
        return false;
    }
}

void stpChronoWarn()
{
    const QString text = QStringLiteral("To stop this message, go to main menu <View>/<rUvuzu>/[Option]  \r\n"
                                        "and clear  [Chrono Warnings]  checkmark, or click on [Yes] below.\r\n"
                                        "By clicking on  [Yes]  below, this check murck is cleared for you. \r\n"
                                        "It can always be restored by setting it on again.\r\n"
                                        "\r\n"
                                        "Do you want to stop these messages?");
    if (MsgBox(text, vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground) == vbYes)
        ShowWarnKT = false;
}

} // namespace vt
