; The setup program of Quillmere and its uninstaller.
;
; Two ways to install: for all users (administrator rights, a folder inside Program Files, the
; uninstall entry under HKLM, and the service that defragments with the system's rights) or just
; for the current user (no rights needed, %LOCALAPPDATA%\Programs, the entry under HKCU, no
; service). The setup program itself runs without rights and starts itself again with them only
; when all users are chosen; the program is only ever started by the copy without them, so that
; it runs with the user's own rights.
;
; Command line of both programs: /S silent, /AllUsers or /CurrentUser, and the setup program
; takes /D=folder (last). Silently, without either, an existing installation is replaced where
; it is; otherwise the installation is for all users when the program already has the rights,
; else for the current user.
;
; Built by scripts/package.sh, which defines VERSION, STAGE_DIR (Quillmere.exe,
; QuillmereService.exe, LICENSE.txt), ICON, OUTFILE, MAIN_WINDOW_CLASS, END_NOW_MESSAGE and
; SERVICE_NAME (the last three taken from the programs' source).

!ifndef VERSION | STAGE_DIR | ICON | OUTFILE | MAIN_WINDOW_CLASS | END_NOW_MESSAGE | SERVICE_NAME
    !error "Build the setup program with scripts/package.sh."
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!define APP "Quillmere"
!define PUBLISHER "The Quillmere developers"
!define EXE_NAME "Quillmere.exe"
!define SERVICE_EXE "QuillmereService.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define SETTINGS_KEY "Software\${APP}"
; The Startup-folder shortcut that the Options dialog makes.
!define STARTUP_LINK "${APP}.lnk"

; The elevated copy's exit code when it leaves starting the program to the copy that started it.
!define EXIT_START_PROGRAM 0x5150
!define ERROR_BAD_PATHNAME 161 ; an all-users folder outside Program Files
!define ERROR_INSTALL_FAILURE 1603

!define /math WAIT_AND_QUERY 0x00100000 | 0x1000 ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
!define SMTO_ABORTIFHUNG 0x0002
!define SEE_MASK_NOCLOSEPROCESS 0x00000040
!define QS_SENDMESSAGE 0x0040
!define /math PM_QS_SENDMESSAGE ${QS_SENDMESSAGE} << 16
!define TOKEN_QUERY 0x0008
!define TokenElevationType 18

Name "${APP}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

Var Mode          ; AllUsers or CurrentUser
Var IsAdmin       ; 1 when this process has administrator rights
Var FullToken     ; 1 when they are the elevated half of the user's rights
Var Elevated      ; 1 in the copy started again with rights: the choices are made already
Var CustomDir     ; the folder given with /D=, which the mode does not override
Var Params
Var WasRunning    ; 1 when a running copy was asked to end
Var Window
Var Pid
Var Process
Var Attempt
Var AllUsersRadio
Var CurrentUserRadio

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenElevated
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${APP} ${VERSION}, which keeps your computer's \
    disks defragmented on a schedule, from the notification area.$\r$\n$\r$\nIf ${APP} is \
    running, Setup ends it first; it keeps its schedule and options.$\r$\n$\r$\nClick Next to \
    continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenElevated
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Quillmere is free software under the MIT licence above."
!insertmacro MUI_PAGE_LICENSE "${STAGE_DIR}/LICENSE.txt"
Page custom ModePageShow ModePageLeave
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "&Start Quillmere"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "Your Settings"
!define MUI_PAGE_HEADER_SUBTEXT "Choose whether your settings go as well."
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Your schedule, your options and the run log stay on this \
    computer, for a later installation, unless you tick the box below."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "What to remove:"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.HideSpaceRequired
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 the Quillmere developers"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "${APP}-${VERSION}-setup.exe"

; ---------------------------------------------------------------------------------------------
; Shared by the setup program and the uninstaller (NSIS wants "un." functions for the latter).

!macro SHARED_FUNCTIONS UN

; $IsAdmin and $FullToken from the process's own rights. An administrator without elevation
; has none: the token says so even where the group membership looks otherwise.
Function ${UN}ReadRights
    UserInfo::GetAccountType
    Pop $0
    StrCpy $2 0
    System::Call 'advapi32::OpenProcessToken(p -1, i ${TOKEN_QUERY}, *p .r1) i .r3'
    ${If} $3 <> 0
        System::Call 'advapi32::GetTokenInformation(p r1, i ${TokenElevationType}, *i .r2, i 4, \
            *i) i'
        System::Call 'kernel32::CloseHandle(p r1) i'
    ${EndIf}
    StrCpy $IsAdmin 0
    ${If} $0 == "Admin"
    ${AndIf} $2 <> 3 ; TokenElevationTypeLimited
        StrCpy $IsAdmin 1
    ${EndIf}
    StrCpy $FullToken 0
    ${IfThen} $2 = 2 ${|} StrCpy $FullToken 1 ${|} ; TokenElevationTypeFull
FunctionEnd

; Starts this program again with administrator rights and the parameters in $1, waits for it
; (with this copy's window hidden) and returns its exit code in $0; "" when it did not start
; (the prompt was declined).
Function ${UN}RunElevated
    ; SHELLEXECUTEINFOW, 64-bit layout: the extra int fields pad nShow and dwHotKey to 8 bytes.
    System::Call '*(i 112, i ${SEE_MASK_NOCLOSEPROCESS}, p $HWNDPARENT, w "runas", w "$EXEPATH", \
        w "$1", p 0, i ${SW_SHOWNORMAL}, i 0, p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .r2'
    StrCpy $0 ""
    System::Call 'shell32::ShellExecuteExW(p r2) i .r3'
    ${If} $3 <> 0
        StrCpy $0 0
        System::Call '*$2(i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p .r4)'
        ${If} $4 P<> 0
            ${IfNot} ${Silent}
                HideWindow
            ${EndIf}
            ; Messages that other programs send to this copy's windows are answered while it
            ; waits: a window that does not answer holds up a broadcast.
            System::Alloc 48 ; MSG
            Pop $5
            ${Do}
                System::Call 'user32::MsgWaitForMultipleObjects(i 1, *p r4, i 0, i -1, \
                    i ${QS_SENDMESSAGE}) i .r3'
                ${IfThen} $3 <> 1 ${|} ${Break} ${|}
                System::Call 'user32::PeekMessageW(p r5, p 0, i 0, i 0, i ${PM_QS_SENDMESSAGE}) i'
            ${Loop}
            System::Free $5
            System::Call 'kernel32::GetExitCodeProcess(p r4, *i .r0) i'
            System::Call 'kernel32::CloseHandle(p r4) i'
        ${EndIf}
    ${EndIf}
    System::Free $2
FunctionEnd

; Asks a running copy of the program to end as on its Exit (it saves its schedule, and asks no
; question), and waits for it to be gone. The copy may run with administrator rights while this
; program has none: the message is one the program lets through for this. Sets $WasRunning.
; Setup ends any copy, since the new one could not start beside it; the uninstaller ends only
; the copy of this installation, and leaves a portable one running.
Function ${UN}EndRunningCopy
    StrCpy $WasRunning 0
    StrCpy $R9 "$INSTDIR\${EXE_NAME}"
    System::Call 'user32::RegisterWindowMessageW(w "${END_NOW_MESSAGE}") i .r5'
    ; A copy still starting has no window yet, but its file is in use: look again a few times.
    ${For} $Attempt 1 20
        System::Call 'user32::FindWindowW(w "${MAIN_WINDOW_CLASS}", p 0) p .s'
        Pop $Window
        ${If} $Window P<> 0
            System::Call 'user32::GetWindowThreadProcessId(p $Window, *i .s) i'
            Pop $Pid
            System::Call 'kernel32::OpenProcess(i ${WAIT_AND_QUERY}, i 0, i $Pid) p .s'
            Pop $Process
!if "${UN}" == "un."
            System::Call 'kernel32::QueryFullProcessImageNameW(p $Process, i 0, \
                w .r8, *i ${NSIS_MAX_STRLEN}) i .r9'
            ${If} $9 <> 0
            ${AndIf} $8 != "$INSTDIR\${EXE_NAME}"
                System::Call 'kernel32::CloseHandle(p $Process) i'
                ${Break}
            ${EndIf}
!endif
            DetailPrint "Ending the running ${APP}..."
            StrCpy $WasRunning 1
            System::Call 'user32::SendMessageTimeoutW(p $Window, i r5, p 0, p 0, \
                i ${SMTO_ABORTIFHUNG}, i 5000, *p .r6) p .r7'
            ${If} $7 P= 0
                ; Hung: leave it to the question below.
                System::Call 'kernel32::CloseHandle(p $Process) i'
                ${Break}
            ${EndIf}
            ${If} $Process P<> 0
                System::Call 'kernel32::WaitForSingleObject(p $Process, i 15000) i .r7'
                System::Call 'kernel32::CloseHandle(p $Process) i'
            ${Else}
                ; Not allowed to wait on it: wait for its window to go.
                ${For} $7 1 150
                    System::Call 'user32::IsWindow(p $Window) i .r8'
                    ${IfThen} $8 = 0 ${|} ${Break} ${|}
                    Sleep 100
                ${Next}
            ${EndIf}
            ${Continue}
        ${EndIf}
        Call ${UN}FileInUse
        ${IfThen} $0 = 0 ${|} ${Break} ${|}
        Sleep 250
    ${Next}
    ; Still in use (hung, or run by another user): let the user end it, or give up.
    ${Do}
        Call ${UN}FileInUse
        ${IfThen} $0 = 0 ${|} ${Break} ${|}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP} is still running, and its files in \
            $INSTDIR are in use.$\r$\n$\r$\nEnd it with Exit on its icon in the notification \
            area, then choose Retry." /SD IDCANCEL IDRETRY retry
        Abort "${APP} is still running."
        retry:
    ${Loop}
FunctionEnd

; $0 = 1 when the installed program $R9 cannot be written (a copy of it runs).
Function ${UN}FileInUse
    StrCpy $0 0
    ${If} ${FileExists} $R9
        ClearErrors
        FileOpen $8 $R9 a
        ${If} ${Errors}
            StrCpy $0 1
        ${Else}
            FileClose $8
        ${EndIf}
    ${EndIf}
FunctionEnd

; Waits up to 30 s for the service's program to end once the service was told to stop; gives up
; the installation or removal when it does not.
Function ${UN}WaitForServiceEnd
    StrCpy $R9 "$INSTDIR\${SERVICE_EXE}"
    ${For} $Attempt 1 120
        Call ${UN}FileInUse
        ${IfThen} $0 = 0 ${|} Return ${|}
        Sleep 250
    ${Next}
    MessageBox MB_OK|MB_ICONSTOP "The ${APP} service did not stop, and $R9 is still in use. \
        Try again once the computer has restarted." /SD IDOK
    SetErrorLevel ${ERROR_INSTALL_FAILURE}
    Abort "The ${APP} service did not stop."
FunctionEnd

; The shell folders and registry root of the chosen installation.
Function ${UN}UseModeContext
    ${If} $Mode == "AllUsers"
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

; $Elevated = 1 in the copy that RunElevated started: it never starts another, whatever its
; rights look like.
Function ${UN}ReadElevatedOption
    StrCpy $Elevated 0
    ClearErrors
    ${GetOptions} $Params "/Elevated" $0
    ${IfNot} ${Errors}
        StrCpy $Elevated 1
    ${EndIf}
FunctionEnd

; $Mode from /AllUsers or /CurrentUser on the command line; $0 = 1 when either was given.
Function ${UN}ReadModeOption
    StrCpy $0 0
    ClearErrors
    ${GetOptions} $Params "/AllUsers" $1
    ${IfNot} ${Errors}
        StrCpy $Mode "AllUsers"
        StrCpy $0 1
    ${EndIf}
    ClearErrors
    ${GetOptions} $Params "/CurrentUser" $1
    ${IfNot} ${Errors}
        StrCpy $Mode "CurrentUser"
        StrCpy $0 1
    ${EndIf}
FunctionEnd

!macroend

!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; ---------------------------------------------------------------------------------------------
; Setup program

Function .onInit
    Call ReadRights
    ${GetParameters} $Params
    Call ReadElevatedOption
    StrCpy $CustomDir $INSTDIR

    ; By default, replace an existing installation; a new one is for all users when this
    ; program may write there.
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $3 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $IsAdmin = 1
    ${AndIf} $2 != ""
        StrCpy $Mode "AllUsers"
    ${ElseIf} $3 != ""
        StrCpy $Mode "CurrentUser"
    ${ElseIf} $2 != ""
    ${OrIf} $IsAdmin = 1
        StrCpy $Mode "AllUsers"
    ${Else}
        StrCpy $Mode "CurrentUser"
    ${EndIf}
    Call ReadModeOption
    Call ApplyMode

    ${If} ${Silent}
    ${AndIf} $Mode == "AllUsers"
        Call CheckProgramFilesFolder
        ${If} $0 = 0
            SetErrorLevel ${ERROR_BAD_PATHNAME}
            Quit
        ${EndIf}
        ${If} $IsAdmin <> 1
        ${AndIf} $Elevated <> 1
            StrCpy $1 "/S /AllUsers /Elevated"
            ${If} $CustomDir != ""
                StrCpy $1 "$1 /D=$CustomDir"
            ${EndIf}
            Call RunElevated
            ${If} $0 == ""
                SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            ${Else}
                Call FinishAfterElevatedCopy
            ${EndIf}
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; The elevated copy has ended with the exit code $0: starts the program, with this copy's rights
; (the user's own), when that copy asks for it, and passes its success or failure on.
Function FinishAfterElevatedCopy
    ${If} $0 = ${EXIT_START_PROGRAM}
        StrCpy $0 0
        ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
        Call StartProgram
    ${EndIf}
    SetErrorLevel $0
FunctionEnd

; For all users, $0 = 1 when $INSTDIR is a folder inside Program Files, which only administrators
; can change: the service runs from it with the system's rights. Otherwise says so, and $0 = 0.
; $INSTDIR becomes the full path that was checked ("..", "/" resolved).
Function CheckProgramFilesFolder
    StrCpy $0 1
    ${IfThen} $Mode != "AllUsers" ${|} Return ${|}
    System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
    StrLen $3 "$PROGRAMFILES64\"
    StrCpy $4 $1 $3
    StrCpy $5 $1 "" $3
    ${If} $2 <> 0
    ${AndIf} $4 == "$PROGRAMFILES64\" ; == ignores case, as Windows does
    ${AndIf} $5 != ""
        StrCpy $INSTDIR $1
        Return
    ${EndIf}
    StrCpy $0 0
    MessageBox MB_OK|MB_ICONSTOP "For all users, ${APP} installs only into a folder inside \
        $PROGRAMFILES64, not into $INSTDIR.$\r$\n$\r$\nIts service runs with the system's rights, \
        and only there can no user change its files." /SD IDOK
FunctionEnd

; $INSTDIR and the shell context for $Mode. An upgrade goes where the installation is; /D=
; wins over both.
Function ApplyMode
    Call UseModeContext
    ${If} $Mode == "AllUsers"
        StrCpy $0 "$PROGRAMFILES64\${APP}"
        ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${Else}
        GetKnownFolderPath $0 {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
        ${If} $0 == ""
            StrCpy $0 "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $0 "$0\${APP}"
        ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $1 != ""
        StrCpy $0 $1
    ${EndIf}
    ${If} $CustomDir == ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Function DirectoryPageLeave
    Call CheckProgramFilesFolder
    ${IfThen} $0 = 0 ${|} Abort ${|}
FunctionEnd

; Setup started with the rights already does not start the program: it would have them too.
; The program starts at the next logon.
Function FinishPageShow
    ${If} $Elevated <> 1
    ${AndIf} $FullToken = 1
        ${NSD_Uncheck} $mui.FinishPage.Run
        ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ${EndIf}
FunctionEnd

Function SkipWhenElevated
    ${If} $Elevated = 1
        Abort
    ${EndIf}
FunctionEnd

Function ModePageShow
    ${If} $Elevated = 1
        Abort
    ${EndIf}
    !insertmacro MUI_HEADER_TEXT "Choose Users" "Install ${APP} for everyone on this computer, or just for you."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateRadioButton} 0 0 100% 12u "&Anyone who uses this computer (needs administrator rights)"
    Pop $AllUsersRadio
    ${NSD_CreateLabel} 12u 13u -12u 26u "Installs into Program Files, with a service that \
        defragments with the rights it needs, without asking each time. ${APP} itself runs with \
        your own rights."
    Pop $0
    ${NSD_CreateRadioButton} 0 48u 100% 12u "Only for &me"
    Pop $CurrentUserRadio
    ${NSD_CreateLabel} 12u 61u -12u 26u "Installs into your own programs folder, without \
        administrator rights."
    Pop $0
    ${If} $Mode == "AllUsers"
        ${NSD_Check} $AllUsersRadio
    ${Else}
        ${NSD_Check} $CurrentUserRadio
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function ModePageLeave
    ${NSD_GetState} $AllUsersRadio $0
    ${If} $0 = ${BST_CHECKED}
        StrCpy $Mode "AllUsers"
        ${If} $IsAdmin <> 1
            ; The rest of the installation runs in a copy of this program with the rights.
            StrCpy $1 "/AllUsers /Elevated"
            ${If} $CustomDir != ""
                StrCpy $1 "$1 /D=$CustomDir"
            ${EndIf}
            Call RunElevated
            ${If} $0 == ""
                MessageBox MB_OK|MB_ICONINFORMATION "Installing for all users needs administrator \
                    rights. Choose $\"Only for me$\" to install without them."
                Abort
            ${EndIf}
            Call FinishAfterElevatedCopy
            Quit
        ${EndIf}
    ${Else}
        StrCpy $Mode "CurrentUser"
    ${EndIf}
    Call ApplyMode
FunctionEnd

; Never with more rights than the user's own: the elevated copy leaves it to the copy that
; started it, through its exit code, and a setup started with the rights already leaves it to
; the next logon.
Function StartProgram
    ${If} $Elevated = 1
        SetErrorLevel ${EXIT_START_PROGRAM}
    ${ElseIf} $FullToken <> 1
        Exec '"$INSTDIR\${EXE_NAME}"'
    ${EndIf}
FunctionEnd

; An update stops the service, whose program it replaces.
Function StopService
    nsExec::Exec '"$SYSDIR\sc.exe" stop ${SERVICE_NAME}'
    Pop $0 ; fails when there is none or it is not running: nothing to stop
    ${IfThen} $0 == 0 ${|} DetailPrint "Stopping the ${APP} service..." ${|}
    Call WaitForServiceEnd
FunctionEnd

; Registers the service (it also retires the logon task of earlier versions).
Function RegisterService
    DetailPrint "Registering the ${APP} service..."
    nsExec::ExecToLog '"$INSTDIR\${SERVICE_EXE}" /register'
    Pop $0
    ${If} $0 != 0
        MessageBox MB_OK|MB_ICONSTOP "The ${APP} service could not be registered (error $0)." \
            /SD IDOK
        SetErrorLevel ${ERROR_INSTALL_FAILURE}
        Abort "The ${APP} service could not be registered."
    ${EndIf}
FunctionEnd

Section "${APP}" SecProgram
    SectionIn RO
    Call CheckProgramFilesFolder
    ${If} $0 = 0
        SetErrorLevel ${ERROR_BAD_PATHNAME}
        Abort
    ${EndIf}
    Call EndRunningCopy
    ${If} $Mode == "AllUsers"
        Call StopService
    ${EndIf}
    SetOutPath "$INSTDIR"
    File "/oname=${EXE_NAME}" "${STAGE_DIR}/${EXE_NAME}"
    File "/oname=LICENSE.txt" "${STAGE_DIR}/LICENSE.txt"
    ${If} $Mode == "AllUsers"
        File "/oname=${SERVICE_EXE}" "${STAGE_DIR}/${SERVICE_EXE}"
    ${EndIf}
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0 \
        SW_SHOWNORMAL "" "Keeps your disks defragmented on a schedule"

    ; SHCTX is HKLM for all users and HKCU for one, after UseModeContext.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME},0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$Mode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\${UNINSTALLER}" /S /$Mode'
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${If} $Mode == "AllUsers"
        Call RegisterService
    ${EndIf}

    ; A copy that was running when a silent update began comes back, with its settings and the
    ; user's own rights (see StartProgram); the finish page offers the same otherwise.
    ${If} ${Silent}
    ${AndIf} $WasRunning = 1
        Call StartProgram
    ${EndIf}
SectionEnd

; ---------------------------------------------------------------------------------------------
; Uninstaller

Function un.onInit
    Call un.ReadRights
    ${GetParameters} $Params
    Call un.ReadElevatedOption
    Call un.ReadModeOption
    ${If} $0 = 0
        ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        ${If} $1 == $INSTDIR
            StrCpy $Mode "AllUsers"
        ${Else}
            StrCpy $Mode "CurrentUser"
        ${EndIf}
    ${EndIf}
    Call un.UseModeContext

    ${If} $Mode == "AllUsers"
    ${AndIf} $IsAdmin <> 1
    ${AndIf} $Elevated <> 1
        StrCpy $1 "/AllUsers /Elevated _?=$INSTDIR"
        ${If} ${Silent}
            StrCpy $1 "/S $1"
        ${EndIf}
        Call un.RunElevated
        ${If} $0 == ""
            MessageBox MB_OK|MB_ICONINFORMATION "Removing ${APP} for all users needs \
                administrator rights." /SD IDOK
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
        ${Else}
            SetErrorLevel $0
        ${EndIf}
        Quit
    ${EndIf}
FunctionEnd

; Deletes the Startup-folder shortcut in the folder $0 when it starts this installation.
Function un.RemoveStartupShortcut
    StrCpy $1 "$0\${STARTUP_LINK}"
    ${IfNot} ${FileExists} $1
        Return
    ${EndIf}
    StrCpy $4 ""
    ; IShellLinkW (GetPath: 3) through IPersistFile (Load: 5), read without resolving.
    System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, \
        i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .r2) i .r3'
    ${If} $3 = 0
        System::Call '$2->0(g "{0000010B-0000-0000-C000-000000000046}", *p .r5) i .r3'
        ${If} $3 = 0
            System::Call '$5->5(w r1, i 0) i .r3'
            ${If} $3 = 0
                System::Call '$2->3(w .r4, i ${NSIS_MAX_STRLEN}, p 0, i 4) i'
            ${EndIf}
            System::Call '$5->2() i'
        ${EndIf}
        System::Call '$2->2() i'
    ${EndIf}
    ${If} $4 == "$INSTDIR\${EXE_NAME}"
        Delete $1
    ${EndIf}
FunctionEnd

; Removing takes no space: the components page need not say "Space required: 0.0 KB".
Function un.HideSpaceRequired
    FindWindow $0 "#32770" "" $HWNDPARENT
    GetDlgItem $0 $0 1023
    ShowWindow $0 ${SW_HIDE}
FunctionEnd

Section "un.${APP}" SecUnProgram
    SectionIn RO
    Call un.EndRunningCopy
    ${If} $Mode == "AllUsers"
    ${AndIf} ${FileExists} "$INSTDIR\${SERVICE_EXE}"
        DetailPrint "Removing the ${APP} service..."
        nsExec::ExecToLog '"$INSTDIR\${SERVICE_EXE}" /unregister'
        Pop $0
        ${If} $0 != 0
            MessageBox MB_OK|MB_ICONSTOP "The ${APP} service could not be removed (error $0)." \
                /SD IDOK
            SetErrorLevel ${ERROR_INSTALL_FAILURE}
            Abort "The ${APP} service could not be removed."
        ${EndIf}
        Call un.WaitForServiceEnd
    ${EndIf}

    ; The start-up entry that the Options dialog may have made.
    SetShellVarContext current
    StrCpy $0 $SMSTARTUP
    Call un.RemoveStartupShortcut
    SetShellVarContext all
    StrCpy $0 $SMSTARTUP
    Call un.RemoveStartupShortcut
    Call un.UseModeContext

    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$INSTDIR\${EXE_NAME}"
    Delete "$INSTDIR\${SERVICE_EXE}"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings and run log" SecUnSettings
    SetShellVarContext current
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    ; The files the program writes, by name: the folder may hold what is not ours (a link
    ; planted there would lead a recursive removal elsewhere).
    Delete "$LOCALAPPDATA\${APP}\runs.log"
    Delete "$LOCALAPPDATA\${APP}\runs.old.log"
    ${For} $0 65 90 ; output-A.txt to output-Z.txt, one a drive
        IntFmt $1 "%c" $0
        Delete "$LOCALAPPDATA\${APP}\output-$1.txt"
    ${Next}
    RMDir "$LOCALAPPDATA\${APP}"
    Call un.UseModeContext
SectionEnd
