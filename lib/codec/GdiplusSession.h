// A started GDI+ for as long as the object lives, counted process-wide. The library asks that
// count whether GDI+ is running before it shows a dialog built from GDI+'s codec lists: some GDI+
// implementations (Wine's) answer calls made before GdiplusStartup with success instead of
// "not initialised", so a probe call alone cannot tell. Every part of the system that starts GDI+
// does it through this class.
#pragma once

#include <windows.h>

#include "lib/PeltoLibApi.h"

class PELTOLIB_API CGdiplusSession {
public:
    CGdiplusSession();  // starts GDI+; IsStarted says whether that worked
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    BOOL IsStarted() const { return m_bStarted; }
    // True while at least one session of the process is started.
    static BOOL IsRunning();

    // The same start and stop for an owner that keeps the token itself. Start gives true and a
    // nonzero token when GDI+ started; Stop is harmless with a zero token and zeroes it.
    static BOOL Start(ULONG_PTR* pToken);
    static void Stop(ULONG_PTR* pToken);

private:
    ULONG_PTR m_token = 0;
    BOOL m_bStarted = FALSE;
};

// True when GDI+ can be used: a session is running and GDI+ itself does not report that it is
// not initialised.
PELTOLIB_API BOOL IsGdiplusReady();
