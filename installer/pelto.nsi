; The installer of Noram截图: the program, its DLLs and "snap.wav" into a folder under Program
; Files, a Start-menu entry and an uninstaller in the system's list of programs. The settings the
; program writes (config.xml beside it or under %APPDATA%\Pelto) stay when it is uninstalled.
;
; makensis -DVERSION=2.1.0.1 -DPROGRAM=<pelto.exe> -DBIN=<folder of the DLLs> -DOUTFILE=<setup.exe>
; (scripts/make-installer.sh passes these.)

Unicode true
Target amd64-unicode
SetCompressor /SOLID zlib
RequestExecutionLevel admin

!ifndef VERSION
  !error "VERSION, PROGRAM, BIN and OUTFILE must be defined"
!endif
!ifndef PROGRAM
  !error "VERSION, PROGRAM, BIN and OUTFILE must be defined"
!endif
!ifndef BIN
  !error "VERSION, PROGRAM, BIN and OUTFILE must be defined"
!endif
!ifndef OUTFILE
  !error "VERSION, PROGRAM, BIN and OUTFILE must be defined"
!endif

!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define APP_NAME "Noram截图"
!define PUBLISHER "Noram软件"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelto"

Name "${APP_NAME}"
Icon "${__FILEDIR__}\..\app\res\pelto.ico"
UninstallIcon "${__FILEDIR__}\..\app\res\pelto.ico"
Caption "${APP_NAME} ${VERSION} 安装"
UninstallCaption "${APP_NAME} 卸载"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pelto"
; An update goes where the earlier version is.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
AutoCloseWindow true
ShowInstDetails nevershow
ShowUninstDetails nevershow

LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${APP_NAME} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) 2026 ${PUBLISHER}"

Var Updating

Page directory SkipWhenUpdating
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  StrCpy $Updating 0
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $Updating 1
  ${EndIf}
FunctionEnd

; The program starts a downloaded update and closes itself: the folder is known and nothing is
; asked, so the update runs through without a click.
Function SkipWhenUpdating
  ${If} $Updating == 1
    Abort
  ${EndIf}
FunctionEnd

; The program that started this update may still be ending; its files cannot be replaced until it
; has. A minute is far more than it takes.
Function WaitForProgramEnd
  StrCpy $1 0
  ${DoWhile} $1 < 300
    ${IfNot} ${FileExists} "$INSTDIR\pelto.exe"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\pelto.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      Return
    ${EndIf}
    Sleep 200
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

Section "Install"
  SetRegView 64
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  Call WaitForProgramEnd
  File "/oname=pelto.exe" "${PROGRAM}"
  File "${BIN}\PeltoLib.dll"
  File "${BIN}\PeltoFx.dll"
  File "${BIN}\Hook.dll"
  File "${BIN}\snap.wav"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\pelto.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\pelto.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "https://www.noramsoft.com/"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$INSTDIR\pelto.exe"
  Delete "$INSTDIR\PeltoLib.dll"
  Delete "$INSTDIR\PeltoFx.dll"
  Delete "$INSTDIR\Hook.dll"
  Delete "$INSTDIR\snap.wav"
  ; What the update check left: the list file and the installers it downloaded.
  Delete "$INSTDIR\TempUpdate.txt"
  Delete "$INSTDIR\PeltoSetup-*.exe"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"
  ; Stays while it holds the user's config.xml.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
