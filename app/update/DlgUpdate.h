// The update dialog: checks the server again, shows the offered version and its notes, and on
// "更新" downloads the installer, starts it and closes the program so that it can be replaced.
#pragma once

#include "app/update/WebUpdate.h"
#include "framework/Dialog.h"

class CDlgUpdate : public CDialog {
public:
    explicit CDlgUpdate(CWnd* pParent = nullptr);

    CString m_strInfo;
    CWebUpdate m_webUpdate;
    BOOL m_bUpdateFound;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    bool m_bDownloading = false;
};

// Points an update check at the server (PELTO_UPDATE_ROOT or the maker's) and at the running
// program's own version; downloads go to strFolder, or where nothing can be written there, to
// "Pelto" in the user's temporary folder.
void SetUpWebUpdate(CWebUpdate& webUpdate, const CString& strFolder);
// The server root: scheme, host and optional port, without a trailing "/".
CString UpdateServerRoot();
