; The Windows installer: the game, the network library and its weights for the current user,
; without elevation, with a Start-menu shortcut and an uninstaller that takes away exactly what
; the installer put there. The build runs it as
;   makensis -DQRV_VERSION=1.2 -DQRV_VERSION4=1.2.0.0 -DQRV_FILES=<folder of the files>
;            -DQRV_ICON=<program icon> -DQRV_HOMEPAGE=<web address> -DQRV_OUTFILE=<setup program>
;            quorvane.nsi
; Silent with /S, both ways. Neither changes anything while the game runs from the folder: the
; interactive one asks to close it, the silent one ends with exit code 2.

Unicode true
; A 64-bit setup program, like the game it installs.
Target amd64-unicode
SetCompressor /SOLID lzma
; No file times of the build in the setup program: each build gives the same bytes.
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh

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

; --- The game running from the folder ------------------------------------------------------
; The game holds a mutex named "Local\Quorvane-" and eight hex digits: the 32-bit FNV-1a hash of
; its folder's full path, in upper case, over its UTF-16 units (ui/win32/win_main.cpp). While it
; exists nothing is changed: the person is asked to close the game, and a silent run or a
; cancel ends with exit code 2, the previous install untouched.
!macro QRV_GAME_CHECK UN
Function ${UN}WaitUntilGameClosed
    ; The folder as the game names it, without the last backslash that a drive's root keeps.
    StrCpy $1 "$INSTDIR" "" -1
    StrCpy $6 "$INSTDIR"
    ${If} $1 == "\"
        StrCpy $6 "$INSTDIR" -1
    ${EndIf}
    StrLen $1 "$6"
    ; From the register, not quoted in the call: a folder's name may hold a quote.
    System::Call "*(&w${NSIS_MAX_STRLEN} r6)p.r0"
    System::Call "user32::CharUpperBuffW(p r0, i r1)"
    StrCpy $2 0x811C9DC5
    StrCpy $3 $0
    ${ForEach} $4 1 $1 + 1
        System::Call "*$3(&i2.r5)"
        IntOp $5 $5 & 0xFFFF
        IntOp $2 $2 ^ $5
        IntOp $2 $2 * 16777619
        IntPtrOp $3 $3 + 2
    ${Next}
    System::Free $0
    IntFmt $2 "%08X" $2
    ${Do}
        ; SYNCHRONIZE access; "access denied" also means that it exists.
        System::Call "kernel32::OpenMutexW(i 0x00100000, i 0, w 'Local\Quorvane-$2')p.r0 ?e"
        Pop $1
        ${If} $0 P<> 0
            System::Call "kernel32::CloseHandle(p r0)"
        ${ElseIf} $1 <> 5
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Quorvane is running. Close it and press Retry." /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Abort "Quorvane is running: nothing was changed."
      retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro QRV_GAME_CHECK ""
!insertmacro QRV_GAME_CHECK "un."
; A file that cannot be written fails the install instead of being skipped with success.
AllowSkipFiles off
; --- end of the running game --------------------------------------------------------------

; Adds the size of an installed file to $1.
!macro QRV_ADD_SIZE NAME
    FileOpen $0 "$INSTDIR\${NAME}" r
    FileSeek $0 0 END $2
    FileClose $0
    IntOp $1 $1 + $2
!macroend

Section
    Call WaitUntilGameClosed
    SetOutPath "$INSTDIR"
    ; The game first: should it be in use after all, the install fails before anything changed.
    File "${QRV_FILES}/quorvane.exe"
    File "${QRV_FILES}/Synaptra.dll"
    File "${QRV_FILES}/qrv.bpn"
    File "${QRV_FILES}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ; The same words as the Debian package's summary.
    CreateShortcut "$SMPROGRAMS\Quorvane.lnk" "$INSTDIR\quorvane.exe" "" "$INSTDIR\quorvane.exe" 0 \
        SW_SHOWNORMAL "" "Noughts and crosses against a neural network"

    ; One entry under the same key, however often it is installed.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quorvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${QRV_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quorvane developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quorvane.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; Run in place (_?=), the uninstaller's exit code is the outcome, not just "started".
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" _?=$INSTDIR'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${QRV_HOMEPAGE}"
    ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallDate" "$2$1$0"
    ; The installed files' total in KiB, rounded up; whatever else lies in the folder is not ours.
    StrCpy $1 1023
    !insertmacro QRV_ADD_SIZE quorvane.exe
    !insertmacro QRV_ADD_SIZE Synaptra.dll
    !insertmacro QRV_ADD_SIZE qrv.bpn
    !insertmacro QRV_ADD_SIZE LICENSE.txt
    !insertmacro QRV_ADD_SIZE Uninstall.exe
    IntOp $1 $1 / 1024
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Call un.WaitUntilGameClosed
    ; The game first: should it be in use after all, nothing else is removed.
    ClearErrors
    Delete "$INSTDIR\quorvane.exe"
    ${If} ${Errors}
        SetErrorLevel 2
        Abort "$INSTDIR\quorvane.exe is in use: nothing was removed."
    ${EndIf}
    Delete "$INSTDIR\Synaptra.dll"
    Delete "$INSTDIR\qrv.bpn"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$SMPROGRAMS\Quorvane.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; A running program's own file cannot be deleted. Run in place (_?=), the uninstaller leaves
    ; its file and the folder to a second, silent run, which goes on from a copy of itself in the
    ; temporary folder (as without _?=), finds nothing else left and waits for this one to end.
    ${If} $EXEDIR == $INSTDIR
        Exec '"$INSTDIR\Uninstall.exe" /S'
        Return
    ${EndIf}
    ${For} $0 1 100
        ClearErrors
        Delete "$INSTDIR\Uninstall.exe"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
    ; Only once empty: anything else the person keeps there stays.
    RMDir "$INSTDIR"
SectionEnd
