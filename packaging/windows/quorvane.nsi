; The Windows installer: the game, the network library and its weights for the current user,
; without elevation, with a Start-menu shortcut and an uninstaller that takes away exactly what
; the installer put there. The build runs it as
;   makensis -DQRV_VERSION=1.2 -DQRV_VERSION4=1.2.0.0 -DQRV_FILES=<folder of the three files>
;            -DQRV_ICON=<program icon> -DQRV_OUTFILE=<setup program> quorvane.nsi
; Silent with /S, both ways.

Unicode true
; A 64-bit setup program, like the game it installs.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"

Name "Quorvane ${QRV_VERSION}"
OutFile "${QRV_OUTFILE}"
Icon "${QRV_ICON}"
UninstallIcon "${QRV_ICON}"
InstallDir "$LOCALAPPDATA\Programs\Quorvane"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${QRV_VERSION4}"
VIFileVersion "${QRV_VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "Quorvane"
VIAddVersionKey /LANG=1033 "FileDescription" "Quorvane setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Quorvane developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 The Quorvane developers"
VIAddVersionKey /LANG=1033 "FileVersion" "${QRV_VERSION4}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${QRV_VERSION4}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetOutPath "$INSTDIR"
    File "${QRV_FILES}/quorvane.exe"
    File "${QRV_FILES}/Synaptra.dll"
    File "${QRV_FILES}/qrv.bpn"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Quorvane.lnk" "$INSTDIR\quorvane.exe" "" "$INSTDIR\quorvane.exe" 0

    ; One entry under the same key, however often it is installed.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quorvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${QRV_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quorvane developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quorvane.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\quorvane.exe"
    Delete "$INSTDIR\Synaptra.dll"
    Delete "$INSTDIR\qrv.bpn"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\Quorvane.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Only once empty: anything else the person keeps there stays.
    RMDir "$INSTDIR"
SectionEnd
