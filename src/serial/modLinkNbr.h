// What the serial side uses of the chronograph layer above it: the link
// timers that received text keeps alive, the command engine's reply buffer,
// Shoot mode and the sensor state that received lines change, and the probe
// exchange that the port setup window's scan and test run. The chronograph
// layer installs its own at start-up (chrono/modChronoNbr.cpp; tests install
// it or a fake); until then a stand-in answers: no task watches the line,
// received text feeds nothing of the chronograph's, and no unit answers a
// probe.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

class LinkNbr {
public:
    virtual ~LinkNbr() = default;

    // Receive engine.
    // A download watches for its dump lines (they must stay in the terminal box).
    virtual bool dumpWatched() { return false; }
    // A chunk came: the running quiet gaps of the link start afresh.
    virtual void chunkReceived() {}
    // The command engine's reply buffer takes the chunk while it listens.
    virtual void replyReceived(const QString &text) { (void)text; }
    // A line ended: the dump watch and the unit's word on its sensors.
    virtual void lineReceived(const QString &line) { (void)line; }
    // A shot line arrived for the live link: true when it begins a burst of
    // capture lines, whose end the chronograph side's burst timer then marks.
    virtual bool shotBurstBegins() { return false; }
    // A chunk came on the probe control: the probe's quiet gap starts afresh.
    virtual void probeReceived() {}
    // Shoot mode found no CFile to take received text.
    virtual void shootCFileLost() {}
    // Connects the live link's tick to the receive engine's queue drain
    // (tmrExcRtc_Timer); the terminal's load asks for it.
    virtual void wireLiveLinkTick() {}
    // Stops every link timer (the terminal's reset).
    virtual void stopLinkTimers() {}
    // No command, reply wait or link timer of the chronograph side is
    // watching the line, so received text may be gathered a moment before it
    // is handed on.
    virtual bool linkIdle() { return true; }

    // Port setup window: the scan and test of a port through the probe.
    // Reads the open flags and port numbers of both serial controls.
    virtual void getPortStates() {}
    // The link control was open at the last getPortStates.
    virtual bool linkWasOpen() { return false; }
    // Opens the probe on the port; the open's error number (0: it opened).
    virtual int openProbe(int16_t port) { (void)port; return 0; }
    // Sends text on the probe and waits for a prompt: 1 to 4 a prompt, 100
    // the line was quiet for gapMs, kProbeNoAnswer the exchange ran out of time.
    virtual int16_t probeWaitMenu(const QString &text, int gapMs) { (void)text; (void)gapMs; return kProbeNoAnswer; }
    // Ends the probe's wait (buffer off, its timers stopped).
    virtual void stopProbeWait() {}
    // Closes the probe and gives the link its port back.
    virtual void restoreLinkPort() {}
    // Fills the status record from the probe's reply buffer, and the
    // labelled report of what it holds.
    virtual void parseProbeStatus() {}
    virtual QString statusReport() { return {}; }

    static constexpr int16_t kProbeNoAnswer = 101;
};

LinkNbr &nbrLink();
// Installs the chronograph side (the caller keeps ownership); nullptr puts
// the stand-in back.
void installLink(LinkNbr *impl);

} // namespace vt
