; The setup of Rida Mibo 1999: installs mibo.exe for the current user only (no administrator rights) under the
; user's local programs folder, with a Start-menu entry, an optional start at sign-in and an uninstaller listed
; under "Installed apps". Built by tools/setup/make-setup.sh, which passes
;   ARCH (x86 or amd64), VERSION (1.0.0), PROGRAM (the mibo.exe to install), OUTFILE (the setup to write).
;
; Silent use, for administrators and tests:
;   setup.exe /S [/SIGNIN=1|/SIGNIN=0] [/START] [/D=FOLDER]
;     /SIGNIN=1  start Mibo at every sign-in; /SIGNIN=0 do not. Without it a first install does not, and an
;                upgrade keeps the choice made before.
;     /START     start Mibo when the install ends. Without it a silent install starts nothing, except that an
;                upgrade which had to close a running Mibo starts the new one in its place.
;     /D=FOLDER  another folder (last, without quotes).
;   A folder that cannot hold the program ends a silent install with exit code 2 and the reason on stderr.
;   uninstall.exe /S removes Mibo and keeps its settings.

Unicode true
Target ${ARCH}-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Rida Mibo 1999"
!define MAKER "Nortavo"
; The character window's class; WM_CLOSE to it is what the settings dialog's "shutdown mibo" sends.
!define WINDOW_CLASS "${PRODUCT}17989126331"
!define SETTINGS_KEY "Software\${MAKER}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define SYNCHRONIZE 0x00100000

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the first install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
; A file that cannot be written ends the install; a skipped mibo.exe would leave the old program behind.
AllowSkipFiles off
BrandingText "${PRODUCT} ${VERSION}"

Var SignIn          ; 1: start Mibo at sign-in
Var StartNow        ; 1: a silent install starts Mibo at its end
Var MiboWasRunning  ; 1: CloseMibo closed a running Mibo

!define MUI_ICON "${__FILEDIR__}/../../resources/icons/mibo331.ico"
!define MUI_UNICON "${__FILEDIR__}/../../resources/icons/mibo332.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, Mibo, a little Christmas figure who lives on \
    your desktop.$\r$\n$\r$\nIt is installed for you alone and needs no administrator rights. If Mibo is running, \
    setup closes him first; your settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FolderPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\mibo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Mibo now"
; The sign-in box is written when the page is left: cleared first, set again when the box is checked.
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Start Mibo when I sign in"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION StartAtSignIn
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE StopStartingAtSignIn
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE English

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${MAKER}. MIT licence."

; Closes a running Mibo as its "shutdown mibo" does and waits until the process has ended: it writes its settings
; at exit and holds mibo.exe open until then. Aborts when it does not end.
!macro DEFINE_CLOSE_MIBO un
Function ${un}CloseMibo
    StrCpy $MiboWasRunning 0
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 = 0
            Return
        ${EndIf}
        StrCpy $MiboWasRunning 1
        System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
        System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
        System::Call "kernel32::WaitForSingleObject(p r2, i 20000) i .r3"
        System::Call "kernel32::CloseHandle(p r2)"
        ${If} $3 <> 0
            MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running. End it with $\"shutdown mibo$\" in its \
                settings and run this again." /SD IDOK
            Abort
        ${EndIf}
    ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_MIBO ""
!insertmacro DEFINE_CLOSE_MIBO "un."

; Sets $0 to why $INSTDIR cannot hold the program, or to "" when it can. Changes nothing: a folder it had to
; create to find out is removed again, up to the first one that existed.
Function CheckFolder
    StrCpy $1 $INSTDIR
    ${DoUntil} ${FileExists} "$1\*.*"
        ${GetParent} $1 $1
        ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ${Loop}
    ClearErrors
    CreateDirectory $INSTDIR
    ${If} ${Errors}
        StrCpy $0 "The folder $\"$INSTDIR$\" cannot be created. Choose another folder."
        Return
    ${EndIf}
    ClearErrors
    FileOpen $2 "$INSTDIR\mibo-setup.probe" w
    ${If} ${Errors}
        StrCpy $0 "The folder $\"$INSTDIR$\" is read-only for you. Choose another folder."
    ${Else}
        FileClose $2
        Delete "$INSTDIR\mibo-setup.probe"
        StrCpy $0 ""
    ${EndIf}
    StrCpy $2 $INSTDIR
    ${DoWhile} $2 != $1
        RMDir $2
        ${GetParent} $2 $2
    ${Loop}
FunctionEnd

Function .onInit
    ${GetParameters} $R0
    StrCpy $StartNow 0
    ClearErrors
    ${GetOptions} $R0 "/START" $R1
    ${IfNot} ${Errors}
        StrCpy $StartNow 1
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/SIGNIN=" $SignIn
    ${If} ${Errors}
        ReadRegStr $R1 HKCU "${RUN_KEY}" "${PRODUCT}"
        ReadRegStr $R2 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
        ${If} $R1 != ""
            StrCpy $SignIn 1
        ${ElseIf} $R2 != ""
        ${OrIf} ${Silent}
            StrCpy $SignIn 0
        ${Else}
            StrCpy $SignIn 1 ; offered, checked, on the first interactive install
        ${EndIf}
    ${ElseIf} $SignIn != 1
        StrCpy $SignIn 0
    ${EndIf}

    ${If} ${Silent}
        ; NSIS cuts /D= off $CMDLINE and puts the default folder in place of one it finds invalid; such a
        ; folder is refused instead, so the process's own command line is read.
        System::Call "kernel32::GetCommandLine() t .R1"
        ClearErrors
        ${GetOptions} $R1 "/D=" $R1
        ${IfNot} ${Errors}
            StrCpy $INSTDIR $R1
        ${EndIf}
        Call CheckFolder
        ${If} $0 != ""
            StrCpy $0 "$0$\r$\n"
            StrLen $2 $0
            System::Call "kernel32::GetStdHandle(i -12) p .r1"
            System::Call "kernel32::WriteFile(p r1, m r0, i r2, *i .r3, p 0)"
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function FolderPageLeave
    Call CheckFolder
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION $0
        Abort
    ${EndIf}
FunctionEnd

Function FinishPageShow
    ${If} $SignIn = 1
        SendMessage $mui.FinishPage.ShowReadme ${BM_SETCHECK} ${BST_CHECKED} 0
    ${Else}
        SendMessage $mui.FinishPage.ShowReadme ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ${EndIf}
FunctionEnd

Function StartAtSignIn
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\mibo.exe"'
FunctionEnd

Function StopStartingAtSignIn
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
FunctionEnd

Section
    Call CloseMibo
    SetOutPath $INSTDIR
    File "/oname=mibo.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\mibo.exe" "" "$INSTDIR\mibo.exe" 0 SW_SHOWNORMAL "" \
        "A little Christmas figure on your desktop"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\mibo.exe",0'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" $INSTDIR
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} $INSTDIR "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ${If} $SignIn = 1
        Call StartAtSignIn
    ${Else}
        Call StopStartingAtSignIn
    ${EndIf}
    ${If} ${Silent}
        ${If} $StartNow = 1
        ${OrIf} $MiboWasRunning = 1
            Exec '"$INSTDIR\mibo.exe"'
        ${EndIf}
    ${EndIf}
SectionEnd

Section Uninstall
    Call un.CloseMibo
    Delete "$INSTDIR\mibo.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir $INSTDIR
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    MessageBox MB_YESNO|MB_ICONQUESTION "Keep Mibo's settings (fun level, sound, taskbar) for a later install?" \
        /SD IDYES IDYES keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${MAKER}"
keep:
SectionEnd
