// CSnapTrack: the rubber band of the region overlay. Instead of drawing an inverted band it tells
// the window it was given at construction that the band changed; that window shows the band by
// its own painting.
#pragma once

#include "framework/RectTracker.h"
#include "lib/PeltoLibApi.h"

// What the band needs of the window it is dragged in.
class PELTOLIB_API ISnapTrackOwner {
public:
    // The band moved (or is being taken away): repaint round it and refresh what describes it.
    virtual void OnTrackChanged() = 0;

protected:
    ~ISnapTrackOwner() = default;
};

class PELTOLIB_API CSnapTrack : public CRectTracker {
public:
    // Without an owner the band is drawn as the framework's inverted focus rectangle.
    explicit CSnapTrack(ISnapTrackOwner* pOwner = nullptr);
    ~CSnapTrack() override;

    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override;

private:
    ISnapTrackOwner* m_pOwner;
};
