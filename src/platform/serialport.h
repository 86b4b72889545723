// The serial-port control: a COM port seen the way the program's link and
// probe controls use it. Properties are read and written through methods named
// after them; failures raise vt::RtError with the control's error numbers:
//   380  a Settings text or property value that is not valid
//   8002 no such port (nothing behind the COM number)
//   8005 the port is already open (here, or held by another program)
//   8012 closing a port that is not open
//   8015 the device refused the line settings
//   8018 Input, Output and the line states need an open port
// One byte on the wire is one character (Latin-1) both ways; nothing is
// translated. The device is opened exclusively and put in raw mode. On a
// pseudo-terminal the modem lines cannot be read or set: that is tolerated and
// the line states then read as False.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <functional>

namespace vt {

// CommEvent codes raised with OnComm. The serial library of Qt 6 reports no
// break, framing, parity or overrun errors, so the error codes are named for
// the receive side's event table but are not raised here.
enum CommEventCode : int {
    commEvSend = 1,       // fewer than SThreshold characters wait to be sent
    commEvReceive = 2,    // at least RThreshold characters have arrived
    commEvCTS = 3,        // CTS changed
    commEvDSR = 4,        // DSR dropped (1 -> 0)
    commEvCD = 5,         // CD changed
    commEvRing = 6,       // ring indicator rose
    commErBreak = 1001,
    commErFrame = 1004,
    commErOverrun = 1006,
    commErRxParity = 1009,
    commErTxFull = 1010,
    // Our own: the device went away (unplugged, or the far end of a
    // pseudo-terminal closed). The control has closed the port.
    commErLineLost = 1100,
};

// Handshaking values. The serial library offers one flow control at a time:
// RTS/CTS with XOn/XOff runs as RTS/CTS.
enum HandshakeMode : int { commNoHandshake = 0, commXOnXOff = 1, commRtsCts = 2, commRtsCtsXOnXOff = 3 };

// A parsed Settings text such as "4800,n,8,1".
struct LineSettings {
    qint32 baud = 4800;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Parses "speed,parity,data,stop": speed one of the control's rates (110 ...
// 256000), parity n/e/o/m/s (either case), data bits 5 to 8, stop bits 1, 1.5
// or 2; blanks around the parts are allowed. Anything else raises 380.
LineSettings parseLineSettings(const QString &text);

class CommControl : public QObject {
    Q_OBJECT
public:
    explicit CommControl(QObject *parent = nullptr);
    ~CommControl() override;

    int CommPort() const { return port_; }
    void setCommPort(int port);                  // 1..255 (8002 outside); 8005 while open

    QString Settings() const { return settings_; }
    void setSettings(const QString &settings);   // 380 when malformed; 8015 when the open device refuses

    int Handshaking() const { return handshaking_; }
    void setHandshaking(int mode);               // 0..3, else 380

    bool PortOpen() const { return serial_.isOpen(); }
    void setPortOpen(bool open);

    // Input takes InputLen characters from the receive buffer (0 = all of them).
    QString Input();
    void setOutput(const QString &text);         // characters above 0xFF go out as '?'
    int InputLen() const { return inputLen_; }
    void setInputLen(int n);
    int InBufferCount() const { return rx_.size(); }
    void setInBufferCount(int n);                // 0 discards what was received
    int OutBufferCount() const;

    // OnComm with commEvReceive fires on each arrival that leaves at least
    // RThreshold characters waiting (0: no receive events); with commEvSend
    // when fewer than SThreshold characters remain to be sent (0: none).
    int RThreshold() const { return rThreshold_; }
    void setRThreshold(int n);
    int SThreshold() const { return sThreshold_; }
    void setSThreshold(int n);
    int CommEvent() const { return commEvent_; }

    // Gathering: a receive event for text that has no line end (CR or LF)
    // yet waits until a line end comes, or at the latest `ms` after the
    // first of its bytes, so that a line arriving a character at a time
    // raises a few events and not one per character. It holds only while
    // `allowed` answers true (asked at each arrival); when it answers false
    // everything waiting goes out at once. 0 ms (the default) raises an
    // event on every arrival. Held bytes are still there for Input, and
    // go out before the port closes.
    void setGather(int ms, std::function<bool()> allowed);
    int gatherMs() const { return gatherMs_; }
    // Raises the receive event for what is being gathered now (nothing
    // when nothing is held, or while a receive event is being handled:
    // that handler's caller takes it once the handler returns).
    void deliverGathered();

    bool DTREnable() const { return dtr_; }
    void setDTREnable(bool on);
    bool CDHolding();
    bool CTSHolding();
    bool DSRHolding();

    // The device node behind the port while it is open (for messages and tests).
    QString deviceName() const { return device_; }

signals:
    void OnComm();

protected:
    // The modem input lines; false when the device cannot report them (a
    // pseudo-terminal). Tests override it to play a modem.
    struct Pins {
        bool cts = false, dsr = false, cd = false, ring = false;
    };
    virtual bool readPins(Pins &pins);
    // Looks at the lines once and raises the events of what changed.
    void pollPins();

private:
    void fire(int code);
    void fireQueued(int code);
    // Raises "Could not set comm state" for a refused setting; a setting the
    // device does not support (ok false, error "unsupported") is let pass.
    void checkCommState(bool ok);
    void applySettings(const LineSettings &ls);
    void applyHandshaking();
    void onReadyRead();
    // Takes what the device has, then raises receive events while the
    // threshold is met, unless the text is being gathered. `gapOver`: the
    // gathering time has run out.
    void receive(bool gapOver);
    bool mayGather() const;
    void onBytesWritten();
    void onError(QSerialPort::SerialPortError error);
    void closeDevice();
    void requireOpen() const;

    QSerialPort serial_;
    QTimer pinTimer_;
    QTimer gatherTimer_;
    std::function<bool()> gatherAllowed_;
    int gatherMs_ = 0;
    bool delivering_ = false;
    QByteArray rx_;
    QString settings_ = QStringLiteral("9600,n,8,1");
    QString device_;
    int port_ = 1;
    int handshaking_ = commNoHandshake;
    int inputLen_ = 0;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    int commEvent_ = 0;
    bool dtr_ = true;
    bool sendPending_ = false;
    bool pinsKnown_ = false;
    bool closing_ = false;
    Pins pins_;
};

} // namespace vt
