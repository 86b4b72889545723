#include "platform/msgbox.h"

#include "platform/answers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace vt {

namespace {

QList<int> buttonsOf(int style)
{
    switch (style & 7) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

QString iconName(int style)
{
    switch (style & 0x70) {
    case vbCritical: return QStringLiteral("Critical");
    case vbQuestion: return QStringLiteral("Question");
    case vbExclamation: return QStringLiteral("Exclamation");
    case vbInformation: return QStringLiteral("Information");
    default: return {};
    }
}

QMessageBox::StandardButton standardOf(int result)
{
    switch (result) {
    case vbOK: return QMessageBox::Ok;
    case vbCancel: return QMessageBox::Cancel;
    case vbAbort: return QMessageBox::Abort;
    case vbRetry: return QMessageBox::Retry;
    case vbIgnore: return QMessageBox::Ignore;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

} // namespace

QString buttonName(int result)
{
    switch (result) {
    case vbOK: return QStringLiteral("OK");
    case vbCancel: return QStringLiteral("Cancel");
    case vbAbort: return QStringLiteral("Abort");
    case vbRetry: return QStringLiteral("Retry");
    case vbIgnore: return QStringLiteral("Ignore");
    case vbYes: return QStringLiteral("Yes");
    case vbNo: return QStringLiteral("No");
    default: return {};
    }
}

int buttonResult(const QString &name)
{
    for (int r = vbOK; r <= vbNo; ++r)
        if (buttonName(r).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return r;
    return 0;
}

int MsgBox(const QString &prompt, int style, const QString &title)
{
    const QList<int> results = buttonsOf(style);
    int defIndex = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    if (defIndex >= results.size())
        defIndex = 0;

    answers::Question q;
    q.kind = QStringLiteral("box");
    q.title = title.isEmpty() ? AppTitle : title;
    q.text = prompt;
    for (int r : results)
        q.buttons << buttonName(r);
    q.defaultAnswer = buttonName(results[defIndex]);
    q.icon = iconName(style);

    const QString answer = answers::ask(q, [&]() -> QString {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(q.title);
        box.setText(prompt);
        switch (style & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        QMessageBox::StandardButtons set;
        for (int r : results)
            set |= standardOf(r);
        box.setStandardButtons(set);
        box.setDefaultButton(standardOf(results[defIndex]));
        if (style & (vbSystemModal | vbMsgBoxSetForeground))
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        box.raise();
        box.activateWindow();
        const int sb = box.exec();
        for (int r : results)
            if (standardOf(r) == sb)
                return buttonName(r);
        // Closed without a button: the platform returns Cancel when there is
        // one, else the only button (OK).
        return results.contains(vbCancel) ? buttonName(vbCancel) : buttonName(results.first());
    });
    const int r = buttonResult(answer);
    // An answer that names no button of this box counts as its default.
    return results.contains(r) ? r : results[defIndex];
}

} // namespace vt
