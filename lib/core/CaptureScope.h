// CPeltoCore::CCaptureScope: what every capture does before its own steps and after them, on
// every way out.
#pragma once

#include "lib/core/PeltoCore.h"

class CPeltoCore::CCaptureScope {
public:
    // How a capture treats the busy flag. The region capture runs beside any other (its hot key is
    // dispatched inside the other captures' modal loops) and leaves the flag to them.
    enum BusyRule { kExclusive, kBesideOthers };
    // For the start-up capture, which leaves the recorded mode alone.
    static const int kKeepMode = -1;

    // Unless another exclusive capture runs (then IsOpen is false and nothing happens, now or
    // later): takes the busy flag, hides the main window when so configured and records nMode.
    CCaptureScope(CPeltoCore& core, int nMode, BusyRule rule = kExclusive);
    ~CCaptureScope() { Close(); }
    CCaptureScope(const CCaptureScope&) = delete;
    CCaptureScope& operator=(const CCaptureScope&) = delete;

    bool IsOpen() const { return m_bOpen; }
    // The epilogue, run once: shows the main window again, forgets the file names, copies the
    // image when so configured and gives the busy flag back.
    void Close();
    // Ends a capture that could not begin: the main window comes back and the busy flag goes, but
    // the file names, the clipboard and the held picture stay as they were.
    void Abandon();

private:
    CPeltoCore& m_core;
    bool m_bHoldsBusy;
    bool m_bOpen;
};
