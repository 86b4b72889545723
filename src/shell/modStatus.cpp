#include "shell/modStatus.h"

#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/richtext.h"
#include "platform/spreadsheet.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modBusy.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

#include <QAction>
#include <QCursor>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QTextEdit>
#include <QToolBar>

namespace vt {

namespace {

EditLockFn &editLock()
{
    static EditLockFn fn = nullptr;
    return fn;
}

const QString kStart = QStringLiteral("cmdKeyStart");
const QString kStop = QStringLiteral("cmdKeyStop");
const QString kRemo = QStringLiteral("cmdKeyRemo");

int16_t flag(bool b) { return b ? vbTrue : int16_t(0); }

QAction *button(QToolBar *bar, const char *key)
{
    QAction *b = toolButton(bar, QString::fromLatin1(key));
    if (!b)
        raise(91);
    return b;
}

void check(QAction *item, bool on)
{
    item->setCheckable(true);
    item->setChecked(on);
}

// A support window keeps what follows the first blank of its caption and
// takes the new prefix and suffix before it; without a blank it stays as it is.
void renameSupport(Form *window, const QString &prefix, const QString &suffix)
{
    if (!window)
        return;
    QWidget *w = window->widget();
    const QString old = w->windowTitle();
    const int blank = old.indexOf(u' ');
    if (blank < 0)
        return;
    w->setWindowTitle(prefix + suffix + old.mid(blank + 1));
}

void setCaption(Form *window, const QString &caption)
{
    if (window)
        window->widget()->setWindowTitle(caption);
}

// The mouse pointer over a text box: 0 the default, 99 the given picture.
void setPointer(QTextEdit *box, int pointer, const QPixmap &icon)
{
    box->setProperty("MousePointer", pointer);
    if (pointer == 99)
        box->viewport()->setCursor(QCursor(icon, 0, 0));
    else
        box->viewport()->setCursor(Qt::IBeamCursor);
}

QString ltrim(QString s)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == u' ')
        ++i;
    return s.mid(i);
}

// What every part of the status refresh reads: the windows, the port and the
// active CFile as they stand when the refresh begins.
struct StatusView {
    frmMDI *mdi;
    SerialNbr &ser;
    RemoteNbr &rem;
    QTextEdit *doc;
    bool portOpen;
    QString portNum;
    QString suffix; // the copy's number and port, as captions carry them
};

// Support windows carry the copy's number and port in their captions.
void seeSupportCaptions(const StatusView &v)
{
    renameSupport(v.rem.frmRemCtr(), QStringLiteral("zOvu"), v.suffix);
    renameSupport(v.ser.frmTerminal(), QStringLiteral("zEzede"), v.suffix);
    v.ser.setCroTabCaption(QStringLiteral("Chrono-") + v.portNum);
    setCaption(v.ser.frmProperties(), QStringLiteral("CSetup") + v.suffix + u'}');
    setCaption(nbrNotes().frmTip(), QStringLiteral("rUvuzu") + v.suffix);
}

// The remote keys, the Shoot-mode link box, the chronograph mode menus, the
// CFile's pointer and its edit lock.
void seeModeKeys(const StatusView &v, bool shoot, bool sensors)
{
    RemoteNbr &rem = v.rem;
    frmMDI *mdi = v.mdi;
    rem.setKeyBackColor(kStart, colLightGrey);
    rem.setKeyBackColor(kStop, colLightGrey);
    rem.setKeyBackColor(kRemo, colLightGrey);
    if (shoot) {
        rem.setKeyBackColor(sensors ? kStart : kRemo, colGreen);
        rem.setLinkBox(1, true);
    } else {
        if (CroSta.croStaOk)
            rem.setKeyBackColor(kStop, colGreen);
        rem.setLinkBox(1, false);
    }

    // Chronograph mode menus, the pointer and the edit lock.
    check(mdi->mnuRemStart, false);
    check(mdi->mnuRemStop, false);
    check(mdi->mnuRemRemo, false);
    if (QTextEdit *doc = v.doc) {
        if (shoot) {
            setPointer(doc, 99, imgCursor(sensors ? QStringLiteral("CapArrow") : QStringLiteral("RemArrow")));
            check(sensors ? mdi->mnuRemStart : mdi->mnuRemRemo, true);
            if (EditLockFn lock = editLock())
                lock(sensors);
        } else {
            setPointer(doc, 0, QPixmap());
            check(mdi->mnuRemStop, true);
        }
    }
}

// The mode box of the status bar; Shoot mode ends here when the port is closed.
void seeModeBox(const StatusView &v, bool shoot, bool sensors)
{
    QLineEdit *modeBox = v.mdi->txtLedsStatus[0];
    SetForeColor(modeBox, colBlack);
    if (shoot && v.portOpen) {
        if (Device != 0) {
            modeBox->setText(QStringLiteral("TTY"));
            SetBackColor(modeBox, colCyan);
        } else if (sensors) {
            modeBox->setText(QStringLiteral("Shoot"));
            SetBackColor(modeBox, colGreen);
        } else {
            modeBox->setText(QStringLiteral("Remo"));
            SetBackColor(modeBox, colYellow);
        }
    } else {
        modeBox->setText(QStringLiteral("Edit"));
        SetBackColor(modeBox, SysColorButtonFace);
        RxRoute[1] = false;
    }
}

// The main window's caption, and the spreadsheet program's while a workbook is open.
void seeTitles(const StatusView &v)
{
    QString modeMark = QStringLiteral(" {Edit}");
    if (RxRoute[1]) {
        if (Device != 0)
            modeMark = QStringLiteral(" {TTY} ");
        else if (CroSta.croSnsOn)
            modeMark = QStringLiteral(" {Shoot} ");
        else
            modeMark = QStringLiteral(" {Remote} ");
    }
    const QString portMark = v.portOpen ? QStringLiteral("=ON}") : QStringLiteral("=OFF}");
    const QString device = ltrim(v.ser.deviceText());
    v.mdi->setWindowTitle(QStringLiteral("Vantrell") + QString::number(AppNum) + QStringLiteral(" {COM") + v.portNum
                          + portMark + modeMark + QStringLiteral(" {") + device + u'}');

    // The spreadsheet program's caption.
    if (xlConnected && xlBookOk) {
        const QString xlMark = xlLinked ? QStringLiteral(" {Shoot}") : QStringLiteral(" {Edit}");
        AppCaption = QStringLiteral("Vantrell") + v.suffix + QStringLiteral("[COM") + v.portNum + portMark + xlMark;
        if (!xlApp)
            raise(91);
        xlApp->setCaption(AppCaption + QStringLiteral(" - ") + xlApp->Workbooks(1)->Name());
    }
}

// The port's menu caption and toolbar button; a closed port ends Shoot mode.
void seePort(const StatusView &v)
{
    frmMDI *mdi = v.mdi;
    SerialNbr &ser = v.ser;
    if (v.portOpen) {
        ser.setPortMenuCaption(QStringLiteral("&Port-On"));
        button(mdi->tbrStandard, "Connect")->setChecked(true);
    } else {
        ser.setPortMenuCaption(QStringLiteral("&Port-Off"));
        button(mdi->tbrStandard, "Connect")->setChecked(false);
        RxRoute[1] = false;
    }
    ser.updCurCro();
}

// Format menus of the active CFile's selection; a mixed selection checks none of them.
void seeFormatMenus(const StatusView &v)
{
    frmMDI *mdi = v.mdi;
    if (v.doc) {
        if (auto *rtf = qobject_cast<RichTextBox *>(v.doc)) {
            const std::optional<int> offset = rtf->SelCharOffset();
            check(mdi->mnuFormatScriptNoScript, offset && *offset == 0);
            check(mdi->mnuFormatScriptSubScript, offset && *offset < 0);
            check(mdi->mnuFormatScriptSuperScript, offset && *offset > 0);
            check(mdi->mnuBulletsSet, rtf->SelBullet().value_or(false));
        }
    }
}

// The menus that follow the user level, the switches, the device and the
// chronograph's reported states.
void seeMenuStates(frmMDI *mdi)
{
    mdi->mnuDbgLevel->setTitle(QStringLiteral("Lev-") + QString::number(UserLevel) + QStringLiteral("..."));
    mdi->mnuDbgMinLev->setText(QStringLiteral("Min-0"));
    check(mdi->mnuDbgMinLev, UserLevel == 0);
    mdi->mnuDbgMaxLev->setText(QStringLiteral("Max-") + QString::number(4));
    check(mdi->mnuDbgMaxLev, UserLevel == 4);

    // Debug switches.
    check(mdi->mnuDbgSftTst, SoftTest);
    check(mdi->mnuDbgSftShp, SoftShip);
    check(mdi->mnuDbgSftDbg, SoftDebug);
    check(mdi->mnuDbgGetReg, GetRegistry);
    check(mdi->mnuDbgSavReg, SaveRegistry);
    check(mdi->mnuDbgZapReg, ClearRegistry);

    // Switch-driven items.
    mdi->mnuTagClean->setVisible(SoftDebug);
    mdi->mnuRemCtr->setEnabled(SoftMore);
    check(mdi->mnuSelect, SoftMore);
    button(mdi->tbrStandard, "BTerminal")->setEnabled(SoftMore);
    button(mdi->tbrStandard, "Keypad")->setEnabled(SoftMore);

    // Spreadsheet link.
    check(mdi->mnuExcConnect, xlLinked);
    check(mdi->mnuExcDisConnect, !xlLinked);

    // Commands only the KT4 understands.
    const bool kt4 = Device == 0;
    for (QAction *item : {mdi->mnuCroPref, mdi->mnuRemDownload, mdi->mnuRemExport, mdi->mnuRemSetups,
                          mdi->mnuExcLink})
        item->setEnabled(kt4);
    // No command of the unit is known for the eDisk's clear, undo and
    // restore: they stay off whatever the device.
    for (QAction *item : {mdi->mnuRemClear, mdi->mnuRemUndoClear, mdi->mnuRemRestore})
        item->setEnabled(false);

    // Default formats.
    check(mdi->mnuFormatStart, FontFmtDef.FormatSetDefalt == 1);
    check(mdi->mnuMrgnsSetup, MargFmtDef.MargDefalt == 1);
    check(mdi->mnuFrmtTabs, TabFmtDef.TabDefalt == 1);

    // User-level visibility.
    mdi->mnuViewBuffer->setVisible(UserLevel > 0);
    for (QAction *item : {mdi->mnuKeyPad, mdi->mnuIProgress, mdi->mnuLocalPort, mdi->mnuIRemote})
        item->setVisible(UserLevel == 4);

    // Chronograph states.
    check(mdi->mnuRemPowerOn, CroSta.croOnLine && CroSta.croStaOk);
    check(mdi->mnuRemArcheryOn, CroSta.croArcOn && CroSta.croStaOk);
    check(mdi->mnuRemRapidFireOn, CroSta.croRFirOn && CroSta.croStaOk);

    // The exports of the CFile and of the terminal's text come with the extended options.
    mdi->mnuExpExcCFi->setVisible(SoftMore);
    mdi->mnuExpExcZEzede->setVisible(SoftMore);
}

// LEDs: the chronograph's reported state, or unknown.
void seeLeds(const StatusView &v)
{
    frmMDI *mdi = v.mdi;
    QLineEdit *const *led = mdi->txtLedsStatus;
    if (CroSta.croStaOk && Device == 0) {
        const int16_t flags[7] = {0,
                                  flag(CroSta.croCalOk && CroSta.croSnsOn),
                                  flag(CroSta.croSnsOn),
                                  flag(CroSta.croSnsOn),
                                  flag(!CroSta.croArcOn),
                                  flag(!CroSta.croRFirOn),
                                  flag(CroSta.croOnLine)};
        for (int i = 1; i <= 6; ++i) {
            SetBackColor(led[i], ledColOn(flags[i]));
            SetForeColor(led[i], ledColOff(flags[i]));
        }
        const int16_t cal = CroSta.croCalFlag;
        led[1]->setText(cal > 140 && cal < 200 ? QStringLiteral("-") : QStringLiteral("~"));
        check(mdi->mnuSnsOn, CroSta.croStaOk && CroSta.croSnsOn);
        mdi->mnuSnsLevel->setText(QStringLiteral("Sensitivity ") + QString::number(CroSta.croSnsLev) + u'%');
        RxRoute[2] = xlLinked;
        v.rem.setLinkBox(2, xlLinked);
    } else {
        for (int i = 1; i <= 6; ++i) {
            SetBackColor(led[i], SysColorButtonFace);
            SetForeColor(led[i], colBlack);
        }
        led[1]->setText(QStringLiteral("?"));
    }
}

void refresh()
{
    frmMDI *mdi = frmMDI::get();
    SerialNbr &ser = nbrSerial();
    RemoteNbr &rem = nbrRemote();

    // Guarded while the indicators change; the port and the active CFile
    // as they stand now.
    LnkToGuard = true;
    const QString portNum = QString::number(ser.linkCommPort());
    const bool portOpen = ser.linkPortOpen();
    const StatusView v{mdi, ser, rem, activeCFileBox(), portOpen, portNum,
                       QString::number(AppNum) + u'_' + portNum + u' '};
    seeSupportCaptions(v);

    // A closed port ends Shoot mode here, before the keys, the pointer and
    // the edit lock are set from it, so that none of them shows Shoot mode
    // that the mode box below then ends.
    if (!CroSta.croSnsOn)
        CroSta.croCalOk = false;
    if (!portOpen)
        RxRoute[1] = false;
    const bool shoot = RxRoute[1];
    const bool sensors = CroSta.croSnsOn;

    seeModeKeys(v, shoot, sensors);
    seeModeBox(v, shoot, sensors);
    seeTitles(v);
    seePort(v);
    seeFormatMenus(v);
    seeMenuStates(mdi);
    seeLeds(v);
    rem.seeSnsState();

    // The CFile that takes the shots, named in the status bar and marked in
    // its title; an operation's brief hold on Shoot mode does not end it.
    nbrEditor().seeShotCFile(RxRoute[1], croTask(0));

    LnkToGuard = false;
}

} // namespace

uint32_t ledColOn(int16_t flag) { return flag != 0 ? colGreen : colYellow; }
uint32_t ledColOff(int16_t flag) { return flag != 0 ? colBlack : colBlue; }

void installEditLock(EditLockFn fn) { editLock() = fn; }

void updAllSta()
{
    // After the main window has gone (late in shutdown) there is nothing to
    // refresh, and addressing it would bring it back.
    if (!frmMDI::isLoaded())
        return;
    if (!trapErrors(refresh)) {
        LnkToGuard = false;
        seeErrBox();
        // Leaving the trap ends the error, so that no later report repeats it.
        Err.Clear();
    }
}

QPixmap imgCursor(const QString &key)
{
    static QHash<QString, QPixmap> list;
    const bool zoom = key == QLatin1String("ZoomIn") || key == QLatin1String("ZoomOut");
    if (key != QLatin1String("CapArrow") && key != QLatin1String("RemArrow") && !zoom)
        return QPixmap();
    auto it = list.find(key);
    if (it != list.end())
        return *it;
    if (zoom) {
        // A magnifying glass with a plus (zoom in) or a minus (zoom out).
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(QPoint(19, 19), QPoint(29, 29));
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(12, 12), 9, 9);
        p.drawLine(QPoint(8, 12), QPoint(16, 12));
        if (key == QLatin1String("ZoomIn"))
            p.drawLine(QPoint(12, 8), QPoint(12, 16));
        p.end();
        return *list.insert(key, pm);
    }
    // An arrow with a dot in the colour of its mode: green capturing, yellow remote.
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygon arrow({QPoint(1, 1), QPoint(1, 22), QPoint(6, 17), QPoint(10, 26), QPoint(13, 25),
                          QPoint(9, 16), QPoint(16, 16)});
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    p.setBrush(colorFromNumber(key == QLatin1String("CapArrow") ? colGreen : colYellow));
    p.drawEllipse(QPoint(23, 23), 6, 6);
    p.end();
    return *list.insert(key, pm);
}

} // namespace vt
