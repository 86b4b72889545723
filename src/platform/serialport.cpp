#include "platform/serialport.h"

#include "platform/errors.h"
#include "platform/portmap.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QSet>
#include <QStringList>

#include <unistd.h>

namespace vt {

namespace {

// Devices held open by any control of this process. The lock files of
// QSerialPort already keep other processes out; this also covers two controls
// of one process and machines where no lock folder is writable.
QSet<QString> &heldDevices()
{
    static QSet<QString> held;
    return held;
}

QString canonicalDevice(const QString &path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

constexpr int kPinPollMs = 100;
// Gathered text beyond this length goes out at once.
constexpr qsizetype kGatherMax = 4096;

} // namespace

LineSettings parseLineSettings(const QString &text)
{
    static const QList<qint32> rates = {110,   300,   600,   1200,  2400,  4800,   9600,   14400,
                                        19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        raise(380);
    LineSettings ls;
    bool ok = false;
    ls.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || !rates.contains(ls.baud))
        raise(380);

    const QString p = parts[1].trimmed().toLower();
    if (p == QLatin1String("n"))
        ls.parity = QSerialPort::NoParity;
    else if (p == QLatin1String("e"))
        ls.parity = QSerialPort::EvenParity;
    else if (p == QLatin1String("o"))
        ls.parity = QSerialPort::OddParity;
    else if (p == QLatin1String("m"))
        ls.parity = QSerialPort::MarkParity;
    else if (p == QLatin1String("s"))
        ls.parity = QSerialPort::SpaceParity;
    else
        raise(380);

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        raise(380);
    ls.dataBits = static_cast<QSerialPort::DataBits>(bits);

    const QString s = parts[3].trimmed();
    if (s == QLatin1String("1"))
        ls.stopBits = QSerialPort::OneStop;
    else if (s == QLatin1String("1.5"))
        ls.stopBits = QSerialPort::OneAndHalfStop;
    else if (s == QLatin1String("2"))
        ls.stopBits = QSerialPort::TwoStop;
    else
        raise(380);
    return ls;
}

CommControl::CommControl(QObject *parent) : QObject(parent)
{
    connect(&serial_, &QSerialPort::readyRead, this, [this] { onReadyRead(); });
    connect(&serial_, &QSerialPort::bytesWritten, this, [this] { onBytesWritten(); });
    connect(&serial_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { onError(e); });
    pinTimer_.setInterval(kPinPollMs);
    connect(&pinTimer_, &QTimer::timeout, this, [this] { pollPins(); });
    gatherTimer_.setSingleShot(true);
    connect(&gatherTimer_, &QTimer::timeout, this, [this] { receive(true); });
}

CommControl::~CommControl()
{
    // No signal may reach a half-destroyed control (or a subclass already gone).
    disconnect(&serial_, nullptr, this, nullptr);
    pinTimer_.stop();
    gatherTimer_.stop();
    if (serial_.isOpen())
        closeDevice();
}

void CommControl::setCommPort(int port)
{
    if (port < 1 || port > 255)
        raise(8002);
    if (serial_.isOpen())
        raise(8005);
    port_ = port;
}

void CommControl::setSettings(const QString &settings)
{
    const LineSettings ls = parseLineSettings(settings);
    if (serial_.isOpen())
        applySettings(ls);
    settings_ = settings;
}

void CommControl::checkCommState(bool ok)
{
    // A pseudo-terminal takes the speed and stop bits but answers some of the
    // rest with "unsupported": only a refusal of a real request counts.
    if (ok)
        return;
    const bool unsupported = serial_.error() == QSerialPort::UnsupportedOperationError;
    const QString why = serial_.errorString();
    serial_.clearError();
    if (!unsupported)
        raise(8015, QStringLiteral("Could not set comm state: %1").arg(why));
}

void CommControl::applySettings(const LineSettings &ls)
{
    auto check = [this](bool ok) { checkCommState(ok); };
    check(serial_.setBaudRate(ls.baud));
    check(serial_.setDataBits(ls.dataBits));
    check(serial_.setParity(ls.parity));
    check(serial_.setStopBits(ls.stopBits));
}

void CommControl::setHandshaking(int mode)
{
    if (mode < commNoHandshake || mode > commRtsCtsXOnXOff)
        raise(380);
    handshaking_ = mode;
    if (serial_.isOpen())
        applyHandshaking();
}

void CommControl::applyHandshaking()
{
    // The serial library offers one flow control at a time: RTS/CTS wins when
    // both are asked for.
    QSerialPort::FlowControl fc = QSerialPort::NoFlowControl;
    if (handshaking_ == commXOnXOff)
        fc = QSerialPort::SoftwareControl;
    else if (handshaking_ == commRtsCts || handshaking_ == commRtsCtsXOnXOff)
        fc = QSerialPort::HardwareControl;
    checkCommState(serial_.setFlowControl(fc));
}

void CommControl::setPortOpen(bool open)
{
    if (!open) {
        if (!serial_.isOpen())
            raise(8012);
        closeDevice();
        return;
    }
    if (serial_.isOpen())
        raise(8005);
    const QString dev = portDevice(port_);
    if (dev.isEmpty() || !QFileInfo::exists(dev))
        raise(8002);
    const QString key = canonicalDevice(dev);
    if (heldDevices().contains(key))
        raise(8005);

    const LineSettings ls = parseLineSettings(settings_);
    serial_.setPortName(dev);
    applySettings(ls); // a closed port only stores them: nothing can be refused yet
    serial_.setFlowControl(QSerialPort::NoFlowControl);
    if (!serial_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError e = serial_.error();
        const QString why = serial_.errorString();
        serial_.clearError();
        if (e == QSerialPort::DeviceNotFoundError)
            raise(8002);
        if (e == QSerialPort::OpenError)
            raise(8005);
        if (e == QSerialPort::PermissionError) {
            // Locked by another program, or simply not ours to open.
            if (::access(QFile::encodeName(dev).constData(), R_OK | W_OK) != 0)
                raise(70, QStringLiteral("Permission denied: %1").arg(dev));
            raise(8005);
        }
        if (e == QSerialPort::UnsupportedOperationError)
            raise(8015, QStringLiteral("Could not set comm state: %1").arg(why));
        raise(8015, why);
    }
    device_ = dev;
    heldDevices().insert(key);
    rx_.clear();
    serial_.clear();
    sendPending_ = false;
    try {
        applyHandshaking();
    } catch (...) {
        closeDevice();
        throw;
    }
    if (!serial_.setDataTerminalReady(dtr_))
        serial_.clearError();   // no modem lines on a pseudo-terminal
    pinsKnown_ = false;
    Pins p;
    if (readPins(p)) {
        pins_ = p;
        pinsKnown_ = true;
        pinTimer_.start();
    }
}

void CommControl::closeDevice()
{
    // What is being gathered arrived before the close: it is handed over,
    // not dropped with the device.
    deliverGathered();
    gatherTimer_.stop();
    pinTimer_.stop();
    if (!device_.isEmpty())
        heldDevices().remove(canonicalDevice(device_));
    if (serial_.isOpen()) {
        // Output the device will not take fails here with a write error,
        // which must not close the device a second time from within.
        closing_ = true;
        serial_.flush();
        serial_.close();
        closing_ = false;
    }
    serial_.clearError();
    device_.clear();
    rx_.clear();
    sendPending_ = false;
}

void CommControl::requireOpen() const
{
    if (!serial_.isOpen())
        raise(8018);
}

QString CommControl::Input()
{
    requireOpen();
    // Take what has arrived at the device but not yet been announced, so that
    // a poller without events still sees every byte.
    if (serial_.bytesAvailable() > 0)
        rx_ += serial_.readAll();
    const int n = (inputLen_ <= 0 || inputLen_ >= rx_.size()) ? int(rx_.size()) : inputLen_;
    const QString out = QString::fromLatin1(rx_.constData(), n);
    rx_.remove(0, n);
    return out;
}

void CommControl::setOutput(const QString &text)
{
    requireOpen();
    const QByteArray bytes = text.toLatin1();
    if (bytes.isEmpty())
        return;
    if (serial_.write(bytes) != bytes.size()) {
        const QString why = serial_.errorString();
        serial_.clearError();
        raise(57, QStringLiteral("Device I/O error: %1").arg(why));
    }
    if (sThreshold_ > 0)
        sendPending_ = true;
    serial_.flush();
    onBytesWritten();
}

void CommControl::setInputLen(int n)
{
    if (n < 0)
        raise(380);
    inputLen_ = n;
}

void CommControl::setInBufferCount(int n)
{
    if (n != 0)
        raise(380);
    if (serial_.isOpen())
        serial_.clear(QSerialPort::Input);
    rx_.clear();
    gatherTimer_.stop();
}

int CommControl::OutBufferCount() const
{
    requireOpen();
    return int(serial_.bytesToWrite());
}

void CommControl::setRThreshold(int n)
{
    if (n < 0)
        raise(380);
    rThreshold_ = n;
}

void CommControl::setSThreshold(int n)
{
    if (n < 0)
        raise(380);
    sThreshold_ = n;
}

void CommControl::setDTREnable(bool on)
{
    dtr_ = on;
    if (serial_.isOpen() && !serial_.setDataTerminalReady(on))
        serial_.clearError();
}

bool CommControl::readPins(Pins &pins)
{
    if (!serial_.isOpen())
        return false;
    const QSerialPort::PinoutSignals s = serial_.pinoutSignals();
    if (serial_.error() != QSerialPort::NoError) {
        serial_.clearError();
        return false;
    }
    pins.cts = s.testFlag(QSerialPort::ClearToSendSignal);
    pins.dsr = s.testFlag(QSerialPort::DataSetReadySignal);
    pins.cd = s.testFlag(QSerialPort::DataCarrierDetectSignal);
    pins.ring = s.testFlag(QSerialPort::RingIndicatorSignal);
    return true;
}

bool CommControl::CDHolding()
{
    requireOpen();
    Pins p;
    return readPins(p) && p.cd;
}

bool CommControl::CTSHolding()
{
    requireOpen();
    Pins p;
    return readPins(p) && p.cts;
}

bool CommControl::DSRHolding()
{
    requireOpen();
    Pins p;
    return readPins(p) && p.dsr;
}

void CommControl::pollPins()
{
    Pins p;
    if (!serial_.isOpen() || !readPins(p)) {
        pinTimer_.stop();
        return;
    }
    if (!pinsKnown_) {
        pins_ = p;
        pinsKnown_ = true;
        return;
    }
    const Pins old = pins_;
    pins_ = p;
    if (p.cts != old.cts)
        fire(commEvCTS);
    if (old.dsr && !p.dsr)
        fire(commEvDSR);
    if (p.cd != old.cd)
        fire(commEvCD);
    if (p.ring && !old.ring)
        fire(commEvRing);
}

void CommControl::fire(int code)
{
    commEvent_ = code;
    emit OnComm();
}

void CommControl::fireQueued(int code)
{
    // Events never fire inside the property call that caused them.
    QMetaObject::invokeMethod(this, [this, code] { fire(code); }, Qt::QueuedConnection);
}

void CommControl::setGather(int ms, std::function<bool()> allowed)
{
    if (ms < 0)
        raise(380);
    gatherMs_ = ms;
    gatherAllowed_ = std::move(allowed);
    if (gatherMs_ == 0 && gatherTimer_.isActive())
        deliverGathered();
}

void CommControl::deliverGathered()
{
    if (gatherTimer_.isActive() && !delivering_)
        receive(true);
}

bool CommControl::mayGather() const
{
    if (gatherMs_ <= 0 || !gatherAllowed_ || rx_.size() >= kGatherMax)
        return false;
    // Only text whose line has not ended waits: a line end (and whatever
    // came before it) goes out at once.
    if (rx_.contains('\r') || rx_.contains('\n'))
        return false;
    return gatherAllowed_();
}

void CommControl::onReadyRead()
{
    receive(false);
}

void CommControl::receive(bool gapOver)
{
    // The serial library does not signal again for what arrives while a
    // handler of its signal lets events run; nor is the gathering time's
    // end acted on then: that is taken here, in order, once the handler has
    // returned.
    if (delivering_)
        return;
    do {
        if (serial_.isOpen())
            rx_ += serial_.readAll();
        if (rThreshold_ <= 0 || rx_.size() < rThreshold_) {
            gatherTimer_.stop();
            return;
        }
        if (!gapOver && mayGather()) {
            if (!gatherTimer_.isActive())
                gatherTimer_.start(gatherMs_);
            return;
        }
        gapOver = false;
        gatherTimer_.stop();
        delivering_ = true;
        try {
            fire(commEvReceive);
        } catch (...) {
            delivering_ = false;
            throw;
        }
        delivering_ = false;
    } while (serial_.isOpen() && serial_.bytesAvailable() > 0);
}

void CommControl::onBytesWritten()
{
    if (!sendPending_ || !serial_.isOpen())
        return;
    if (serial_.bytesToWrite() < sThreshold_) {
        sendPending_ = false;
        fireQueued(commEvSend);
    }
}

void CommControl::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        // The device is gone: close it so that nothing spins on a dead file
        // and PortOpen tells the truth, then say so.
        if (serial_.isOpen() && !closing_) {
            closeDevice();
            fireQueued(commErLineLost);
        }
        break;
    default:
        break;
    }
}

} // namespace vt
