// Every user setting of the program in memory: general behaviour of a capture, the image
// effects, the external editor, the eight global hot keys and the last capture mode. Loaded from
// config.xml when the engine starts and written back when it stops.
#pragma once

#include <utility>

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

struct CPeltoConfigFields;

// Capture modes as SnapMode records them; the main window's selector lists them in this order.
enum PeltoSnapMode {
    SNAPMODE_FULLSCREEN = 0,
    SNAPMODE_ACTIVEWIN = 1,
    SNAPMODE_CURRENTWIN = 2,
    SNAPMODE_WINCLIENT = 3,
    SNAPMODE_WINOBJ = 4,
    SNAPMODE_SELECTRECT = 5,
};

class PELTOLIB_API CPeltoConfig {
public:
    CPeltoConfig();
    CPeltoConfig(const CPeltoConfig& other);
    CPeltoConfig& operator=(const CPeltoConfig& other);
    ~CPeltoConfig();

    CString GetAppName() { return m_strAppName; }
    void SetAppName(CString strAppName) { m_strAppName = std::move(strAppName); }

    BOOL GetPlaySnapSound() const { return m_bPlaySnapSound; }
    void SetPlaySnapSound(BOOL bValue) { m_bPlaySnapSound = bValue; }
    BOOL GetHideMainWnd() const { return m_bHideMainWnd; }
    void SetHideMainWnd(BOOL bValue) { m_bHideMainWnd = bValue; }
    BOOL GetSnapOnStart() const { return m_bSnapOnStart; }
    void SetSnapOnStart(BOOL bValue) { m_bSnapOnStart = bValue; }
    UINT GetSnapDelayTime() const { return m_nSnapDelayTime; }
    void SetSnapDelayTime(UINT nValue) { m_nSnapDelayTime = nValue; }
    BOOL GetKeepOnTop() const { return m_bKeepOnTop; }
    void SetKeepOnTop(BOOL bValue) { m_bKeepOnTop = bValue; }
    CString GetEditAppPath() const { return m_strEditAppPath; }
    void SetEditAppPath(CString strPath) { m_strEditAppPath = std::move(strPath); }

    BOOL GetGrayScale() const { return m_bGrayScale; }
    void SetGrayScale(BOOL bValue) { m_bGrayScale = bValue; }
    BOOL GetNegate() const { return m_bNegate; }
    void SetNegate(BOOL bValue) { m_bNegate = bValue; }
    BOOL GetScale() const { return m_bScale; }
    void SetScale(BOOL bValue) { m_bScale = bValue; }
    int GetScaleFactor() const { return m_nScaleFactor; }
    void SetScaleFactor(int nValue) { m_nScaleFactor = nValue; }
    BOOL GetRotate() const { return m_bRotate; }
    void SetRotate(BOOL bValue) { m_bRotate = bValue; }
    int GetRotateAngle() const { return m_nRotateAngle; }
    void SetRotateAngle(int nValue) { m_nRotateAngle = nValue; }
    BOOL GetFlipHorz() const { return m_bFlipHorz; }
    void SetFlipHorz(BOOL bValue) { m_bFlipHorz = bValue; }
    BOOL GetFlipVert() const { return m_bFlipVert; }
    void SetFlipVert(BOOL bValue) { m_bFlipVert = bValue; }
    BOOL GetShearDown() const { return m_bShearDown; }
    void SetShearDown(BOOL bValue) { m_bShearDown = bValue; }
    int GetShearDownAmout() const { return m_nShearDownAmout; }
    void SetShearDownAmout(int nValue) { m_nShearDownAmout = nValue; }
    BOOL GetShearAcross() const { return m_bShearAcross; }
    void SetShearAcross(BOOL bValue) { m_bShearAcross = bValue; }
    int GetShearAcrossAmout() const { return m_nShearAcrossAmout; }
    void SetShearAcrossAmout(int nValue) { m_nShearAcrossAmout = nValue; }
    BOOL GetBlur() const { return m_bBlur; }
    void SetBlur(BOOL bValue) { m_bBlur = bValue; }
    int GetBlurFactor() const { return m_nBlurFactor; }
    void SetBlurFactor(int nValue) { m_nBlurFactor = nValue; }
    BOOL GetSharpen() const { return m_bSharpen; }
    void SetSharpen(BOOL bValue) { m_bSharpen = bValue; }
    int GetSharpenFactor() const { return m_nSharpenFactor; }
    void SetSharpenFactor(int nValue) { m_nSharpenFactor = nValue; }
    BOOL GetAutoCopy() const { return m_bAutoCopy; }
    void SetAutoCopy(BOOL bValue) { m_bAutoCopy = bValue; }

    int GetSnapMode() const { return m_nSnapMode; }
    void SetSnapMode(int nMode) { m_nSnapMode = nMode; }

    // Hot keys: a modifier word in the hot-key control's form (1 Shift, 2 Control, 4 Alt,
    // 8 extended) and a virtual-key word.
    void GetNewSnapHotkey(WORD& wModifier, WORD& wVk);
    void SetNewSnapHotkey(WORD wModifier, WORD wVk);
    void GetFullScreenHotkey(WORD& wModifier, WORD& wVk);
    void SetFullScreenHotkey(WORD wModifier, WORD wVk);
    void GetActiveWinHotkey(WORD& wModifier, WORD& wVk);
    void SetActiveWinHotkey(WORD wModifier, WORD wVk);
    void GetCurrentWinHotkey(WORD& wModifier, WORD& wVk);
    void SetCurrentWinHotkey(WORD wModifier, WORD wVk);
    void GetWinClientHotkey(WORD& wModifier, WORD& wVk);
    void SetWinClientHotkey(WORD wModifier, WORD wVk);
    void GetWinObjHotkey(WORD& wModifier, WORD& wVk);
    void SetWinObjHotkey(WORD wModifier, WORD wVk);
    void GetSelectRectHotkey(WORD& wModifier, WORD& wVk);
    void SetSelectRectHotkey(WORD wModifier, WORD wVk);
    void GetShowHideHotkey(WORD& wModifier, WORD& wVk);
    void SetShowHideHotkey(WORD wModifier, WORD wVk);

    // The effect switches and amounts back to their defaults, so an opened image shows plain.
    void ResetImageOption();

    // config.xml beside the program's executable; where that folder cannot be written (a
    // program installed under Program Files), %APPDATA%\Pelto\config.xml. The program folder
    // wins while it is writable and holds its own file.
    void LoadConfig();
    void SaveConfig();
    // True when the last SaveConfig could write neither place.
    BOOL LastSaveFailed() const { return m_bLastSaveFailed; }

    // The same with the file named: a missing file or key keeps what the object holds; a save
    // that cannot complete keeps the old file.
    void LoadConfigFile(const CString& strPath);
    void SaveConfigFile(const CString& strPath) const;
    // The file LoadConfig reads (or, when there is none yet, the one a save writes first).
    static CString GetConfigPath();
    // %APPDATA%\Pelto\config.xml, empty when the platform names no application-data folder.
    static CString GetAppDataConfigPath();

    // The choice itself, from what is true of the two places: the file to read (empty for none)
    // and the files to try writing, in order.
    struct ConfigPlaces {
        CString strProgramFile;
        CString strAppDataFile;
        bool bProgramFolderWritable;  // and its settings file, if any, not read-only
        bool bProgramFileExists;
        bool bAppDataFileExists;
    };
    static CString ChooseFileToRead(const ConfigPlaces& places);
    static void ChooseFilesToWrite(const ConfigPlaces& places, CString& strFirst,
                                   CString& strSecond);

private:
    friend struct CPeltoConfigFields;
    bool WriteConfigFile(const CString& strPath) const;
    static ConfigPlaces FindPlaces();

    BOOL m_bLastSaveFailed = FALSE;

    CString m_strAuthor;
    CString m_strVersion;
    CString m_strURL;
    CString m_strMail;
    CString m_strAppName;
    BOOL m_bPlaySnapSound;
    BOOL m_bHideMainWnd;
    BOOL m_bSnapOnStart;
    UINT m_nSnapDelayTime;
    BOOL m_bKeepOnTop;
    CString m_strEditAppPath;
    BOOL m_bGrayScale;
    BOOL m_bNegate;
    BOOL m_bScale;
    int m_nScaleFactor;
    BOOL m_bRotate;
    int m_nRotateAngle;
    BOOL m_bFlipHorz;
    BOOL m_bFlipVert;
    BOOL m_bShearDown;
    int m_nShearDownAmout;
    BOOL m_bShearAcross;
    int m_nShearAcrossAmout;
    BOOL m_bBlur;
    int m_nBlurFactor;
    BOOL m_bSharpen;
    int m_nSharpenFactor;
    BOOL m_bAutoCopy;

public:
    // Read by the effect chain directly; they have no accessors, are not stored in the file and
    // keep their defaults (1, 0, 1) for the whole run.
    BOOL m_bApplyEffects;
    BOOL m_bColorReplace;
    BOOL m_bSmoothTransform;

private:
    WORD m_wNewSnapModifier;
    WORD m_wNewSnapVk;
    WORD m_wFullScreenModifier;
    WORD m_wFullScreenVk;
    WORD m_wActiveWinModifier;
    WORD m_wActiveWinVk;
    WORD m_wCurrentWinModifier;
    WORD m_wCurrentWinVk;
    WORD m_wWinClientModifier;
    WORD m_wWinClientVk;
    WORD m_wWinObjModifier;
    WORD m_wWinObjVk;
    WORD m_wSelectRectModifier;
    WORD m_wSelectRectVk;
    WORD m_wShowHideModifier;
    WORD m_wShowHideVk;
    int m_nSnapMode;
};
