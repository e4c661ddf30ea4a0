; The Rerevure setup program, for NSIS 3 (Debian's nsis package).
; make_installers.py builds it from the stripped program:
;   makensis -DVERSION=1.6.0 -DORGANISATION="..." -DPROGRAM=Rerevure.exe
;            -DOUTFILE=Rerevure-1.6.0-setup.exe -DFOLDER_RIGHTS=FolderRights.nsh
;            -DSCRIPT_FOLDER_NAME=Rerevure -DSCRIPT_PATH_FOLDER=C:\Progra~1\Rerevure
;            [-DICON=rerevure.ico] [-DTARGET=amd64-unicode]
;            [-DUNINSTALLER_FINALIZE='sign "%1"'] Rerevure.nsi
; UNINSTALLER_FINALIZE signs the uninstaller before it is packed, so that the
; uninstall.exe written at install time carries the signature.
; FolderRights.nsh is generated from folder-rights.txt, the one place that
; says which rights the two folders get. SCRIPT_PATH_FOLDER is the folder of
; the program's fixed script path "C:\Progra~1\Rerevure\MapDrives.bat". The
; setup program never creates it by that name: the 8.3 name leads to the
; 64-bit Program Files only while that folder has it, and on a drive without
; short names a folder made by that name would be an ordinary folder in C:\
; that any user could own. It creates SCRIPT_FOLDER_NAME in the 64-bit
; Program Files instead, and says when the 8.3 name does not lead there.
;
; Layout (fixed: /D= is ignored, so no typo can point the rights below at a
; system folder):
;   <32-bit Program Files>\Rerevure\bin   Rerevure.exe, uninstall.exe: users
;                                         may read and run, nothing more
;   <64-bit Program Files>\Rerevure       the drive-mapping scripts: each
;                                         user creates and removes their own
; On 64-bit Windows these are "C:\Program Files (x86)\Rerevure\bin" and
; "C:\Program Files\Rerevure". On 32-bit Windows both Program Files names are
; one folder, so the program lies inside the script folder; it is in a bin
; subfolder with rights of its own and no inheritance, because a folder
; where users may create files must never hold the program (a DLL dropped
; beside a program that starts at every logon would run as every user).
; The amd64 build (the tests run it under wine64) puts the program into the
; 64-bit Program Files, which gives the nested layout of 32-bit Windows.
;
; Command line: /S installs silently; /NOSTARTUP leaves out the
; start-at-logon shortcut; /LOG=<file> appends the setup program's details
; to that file, which a silent installation otherwise shows nowhere. The
; uninstaller takes /S too, and _?=<its folder> (last, unquoted), which
; makes it work in place and return only when it is done, instead of
; handing the work to a copy in the temporary folder and returning at once:
; the uninstall entry's QuietUninstallString, for deployment tools, which
; take the return as "removed".
;
; Exit codes: 0 installed (or removed); 1618 another Rerevure setup program
; or uninstaller is at work (deployment tools try again later); 2 stopped
; (the details say why).

!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}

!macro RerevureRequire NAME
  !ifndef ${NAME}
    !error "makensis needs -D${NAME}=..."
  !endif
!macroend
!insertmacro RerevureRequire VERSION
!insertmacro RerevureRequire ORGANISATION
!insertmacro RerevureRequire PROGRAM
!insertmacro RerevureRequire OUTFILE
!insertmacro RerevureRequire FOLDER_RIGHTS
!insertmacro RerevureRequire SCRIPT_FOLDER_NAME
!insertmacro RerevureRequire SCRIPT_PATH_FOLDER

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rerevure"

!if "${TARGET}" == "amd64-unicode"
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  !define PROGRAM_FILES "$PROGRAMFILES32"
!endif
; $PROGRAMFILES64 is the 64-bit Program Files on 64-bit Windows, Program
; Files on 32-bit Windows.
!define SCRIPT_FOLDER "$PROGRAMFILES64\${SCRIPT_FOLDER_NAME}"

Name "Rerevure"
OutFile "${OUTFILE}"
!ifdef UNINSTALLER_FINALIZE
  !uninstfinalize '${UNINSTALLER_FINALIZE}' = 0
!endif
; Per machine: the program, its shortcuts for all users and the folders'
; rights all need an administrator.
RequestExecutionLevel admin
ManifestSupportedOS all
ManifestDPIAware true
SetCompressor /SOLID lzma
BrandingText "${ORGANISATION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Rerevure"
VIAddVersionKey "CompanyName" "${ORGANISATION}"
VIAddVersionKey "FileDescription" "Rerevure setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
; As the program's About text names its author.
VIAddVersionKey "LegalCopyright" "Created by ZUV Orarevirado"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var DetailsLog

; A line of the details, in the /LOG file too.
!macro RerevureDetail TEXT
  DetailPrint `${TEXT}`
  Push `${TEXT}`
  Call WriteDetailsLog
!macroend

Function WriteDetailsLog
  Exch $R9
  Push $R8
  ${If} $DetailsLog != ""
    ClearErrors
    FileOpen $R8 $DetailsLog a
    ${IfNot} ${Errors}
      FileSeek $R8 0 END
      FileWrite $R8 "$R9$\r$\n"
      FileClose $R8
    ${EndIf}
  ${EndIf}
  Pop $R8
  Pop $R9
FunctionEnd

; Runs icacls on FOLDER; the install stops if the rights cannot be set,
; rather than leave a folder that is open to others or closed to the program.
; ExecToStack returns the exit code, or "error" when icacls did not start.
!macro RerevureIcacls FOLDER ARGS
  nsExec::ExecToStack '"$SYSDIR\icacls.exe" "${FOLDER}" ${ARGS}'
  Pop $0
  Pop $1
  !insertmacro RerevureDetail 'icacls "${FOLDER}" ${ARGS}: $0 $1'
  ${If} $0 != 0
    MessageBox MB_ICONSTOP|MB_OK 'Could not set the rights of "${FOLDER}" (icacls ${ARGS}: $0).' /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

!include "${FOLDER_RIGHTS}"

; One setup program or uninstaller at a time, as deployment tools expect of
; an installer: a second one exits at once with 1618. The lock is a file in
; the program's folder held open without sharing, deleted when it is closed;
; Windows closes it when its holder ends, however it ends. Only
; administrators can create files there (a named mutex, which any signed-in
; user may create and hold, would let a pupil stop every installation).
; $R1 is left 1 when another holds the lock, 2 when it cannot be taken at all.
!define SETUP_LOCK "Rerevure-setup.lock"
!define ERROR_INSTALL_ALREADY_RUNNING 1618
!define ERROR_SHARING_VIOLATION 32
Var SetupLock
!macro RerevureOneAtATime
  CreateDirectory "$INSTDIR"
  ; GENERIC_WRITE|DELETE, no sharing, OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE
  System::Call 'kernel32::CreateFileW(w "$INSTDIR\${SETUP_LOCK}", i 0x40010000, i 0, p 0, i 4, i 0x04000080, p 0) p .R1 ?e'
  Pop $R2
  StrCpy $SetupLock $R1
  ${If} $R1 <> -1
    StrCpy $R1 0
  ${ElseIf} $R2 = ${ERROR_SHARING_VIOLATION}
    StrCpy $R1 1
  ${Else}
    StrCpy $R1 2
  ${EndIf}
!macroend

; Whether this runs as SYSTEM (LocalSystem, WinLocalSystemSid 22), as
; deployment tools run it: then no user's program is there to be asked to end.
Var RunsAsSystem
!macro RerevureWhoRuns
  StrCpy $RunsAsSystem 0
  System::Alloc 68
  Pop $R8
  System::Call 'advapi32::CreateWellKnownSid(i 22, p 0, p R8, *i 68) i .R7'
  ${If} $R7 <> 0
    System::Call 'advapi32::CheckTokenMembership(p 0, p R8, *i .R9) i .R7'
    ${If} $R7 <> 0
      StrCpy $RunsAsSystem $R9
    ${EndIf}
  ${EndIf}
  System::Free $R8
!macroend

; Deletes the file named on the stack or, when it is in use (a program
; running in some session), renames it to the first free Rerevure-N.old in
; its folder and has that removed at the next restart: Windows refuses to
; delete or overwrite a running program's file but lets it be renamed within
; its folder. Leaves the new name in $R0, "" when the file was deleted, and
; the error flag set when it could be neither deleted nor renamed. Only the
; moved-aside name is put on the restart's list, never the original: a
; reinstallation before the restart puts new files under the original names.
!macro RerevureMoveAsideFunction UN
Function ${UN}MoveAside
  Exch $R9
  Push $R8
  StrCpy $R0 ""
  ClearErrors
  Delete $R9
  ${If} ${Errors}
    ${GetParent} $R9 $R8
    StrCpy $R1 0
    ${Do}
      IntOp $R1 $R1 + 1
      StrCpy $R0 "$R8\Rerevure-$R1.old"
    ${LoopWhile} ${FileExists} $R0
    ClearErrors
    Rename $R9 $R0
    ${If} ${Errors}
      StrCpy $R0 ""
      SetErrors
    ${Else}
      Delete /REBOOTOK $R0
    ${EndIf}
  ${EndIf}
  Pop $R8
  Pop $R9
FunctionEnd
!macroend
!insertmacro RerevureMoveAsideFunction ""
!insertmacro RerevureMoveAsideFunction "un."

Section "Rerevure" SecProgram
  SectionIn RO

  ; The script folder first: on 32-bit Windows it holds the program folder,
  ; whose own rights must be set after it.
  CreateDirectory "${SCRIPT_FOLDER}"
  ${IfNot} ${FileExists} "${SCRIPT_FOLDER}\*.*"
    !insertmacro RerevureDetail '"${SCRIPT_FOLDER}" cannot be created.'
    MessageBox MB_ICONSTOP|MB_OK '"${SCRIPT_FOLDER}" cannot be created.' /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  !insertmacro RerevureScriptsRights
  Call CheckScriptPath

  CreateDirectory "$INSTDIR"
  !insertmacro RerevureProgramRights

  ; The shortcuts start the program in this folder, which users cannot
  ; write: the script's "net" must not be found in a folder they can.
  SetOutPath "$INSTDIR"
  StrCpy $R0 ""
  ${If} ${FileExists} "$INSTDIR\Rerevure.exe"
    Push "$INSTDIR\Rerevure.exe"
    Call MoveAside
    ${If} ${Errors}
      !insertmacro RerevureDetail '"$INSTDIR\Rerevure.exe" is in use and cannot be replaced.'
      MessageBox MB_ICONSTOP|MB_OK '"$INSTDIR\Rerevure.exe" is in use and cannot be replaced.' /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
  File "/oname=Rerevure.exe" "${PROGRAM}"
  ${If} $R0 != ""
    ; The old file was in use. The installing user's own copy is asked to
    ; end by the new program (an older one given /exit might not know it and
    ; simply start), run from this folder: never from the temporary folder,
    ; which for SYSTEM is one where users may put a DLL beside it. As
    ; SYSTEM there is no user's program to ask.
    ${If} $RunsAsSystem = 0
      ExecWait '"$INSTDIR\Rerevure.exe" /exit'
      Delete $R0
    ${EndIf}
    ; A copy in another session (other users signed in, or a deployment
    ; running as SYSTEM) runs on from the old file until its user next signs in.
    ${If} ${FileExists} $R0
      !insertmacro RerevureDetail 'Rerevure is still running in another session: its file, now "$R0", is removed at the next restart.'
    ${EndIf}
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Rerevure.lnk" "$INSTDIR\Rerevure.exe" "" "$INSTDIR\Rerevure.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Rerevure"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${ORGANISATION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Rerevure.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program lives in the tray, so by default it starts for everyone.
Section "Start Rerevure when anyone logs on" SecStartup
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMSTARTUP\Rerevure.lnk" "$INSTDIR\Rerevure.exe" "" "$INSTDIR\Rerevure.exe" 0
SectionEnd

; Whether the program's script path leads to the script folder: a file made
; in the folder must be seen through the 8.3 name. When it is not, the
; program cannot map drives (it tells its users so), but everything else
; works, so the installation goes on; in silent mode the message box is
; skipped and the line stays in the details.
Function CheckScriptPath
  ClearErrors
  GetTempFileName $0 "${SCRIPT_FOLDER}"
  ${If} ${Errors}
    !insertmacro RerevureDetail 'Could not check that "${SCRIPT_PATH_FOLDER}" is "${SCRIPT_FOLDER}".'
    Return
  ${EndIf}
  ${GetFileName} $0 $1
  ${IfNot} ${FileExists} "${SCRIPT_PATH_FOLDER}\$1"
    !insertmacro RerevureDetail 'Warning: "${SCRIPT_PATH_FOLDER}" is not "${SCRIPT_FOLDER}" on this computer.'
    MessageBox MB_ICONEXCLAMATION|MB_OK '"${SCRIPT_PATH_FOLDER}" does not lead to "${SCRIPT_FOLDER}" on this computer (drive C: has no 8.3 short name for that folder). Rerevure is installed, but its school switch cannot map network drives until it does.' /SD IDOK
  ${EndIf}
  Delete $0
FunctionEnd

Function .onInit
  SetShellVarContext all
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/LOG=" $DetailsLog
  ${If} ${Errors}
    StrCpy $DetailsLog ""
  ${EndIf}
  !insertmacro RerevureDetail "Rerevure ${VERSION} setup: $R0"
!if "${TARGET}" == "amd64-unicode"
  ${IfNot} ${RunningX64}
    !insertmacro RerevureDetail "This setup program is for 64-bit Windows."
    MessageBox MB_ICONSTOP|MB_OK "This setup program is for 64-bit Windows." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetRegView 64
!endif
  StrCpy $INSTDIR "${PROGRAM_FILES}\Rerevure\bin"
  !insertmacro RerevureOneAtATime
  ${If} $R1 = 1
    !insertmacro RerevureDetail "Another Rerevure setup program or uninstaller is at work."
    MessageBox MB_ICONSTOP|MB_OK "Another Rerevure setup program or uninstaller is at work. Try again later." /SD IDOK
    SetErrorLevel ${ERROR_INSTALL_ALREADY_RUNNING}
    Quit
  ${ElseIf} $R1 = 2
    !insertmacro RerevureDetail 'Could not create "$INSTDIR\${SETUP_LOCK}" (error $R2).'
    MessageBox MB_ICONSTOP|MB_OK 'Could not create "$INSTDIR\${SETUP_LOCK}" (error $R2).' /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  !insertmacro RerevureWhoRuns
  ClearErrors
  ${GetOptions} $R0 "/NOSTARTUP" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  !insertmacro RerevureDetail "Installed."
FunctionEnd

Function .onInstFailed
  !insertmacro RerevureDetail "The installation stopped."
FunctionEnd

Function un.onInit
  SetShellVarContext all
  !insertmacro RerevureOneAtATime
  ${If} $R1 = 1
    MessageBox MB_ICONSTOP|MB_OK "Another Rerevure setup program or uninstaller is at work. Try again later." /SD IDOK
    SetErrorLevel ${ERROR_INSTALL_ALREADY_RUNNING}
    Quit
  ${ElseIf} $R1 = 2
    MessageBox MB_ICONSTOP|MB_OK 'Could not create "$INSTDIR\${SETUP_LOCK}" (error $R2).' /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  !insertmacro RerevureWhoRuns
!if "${TARGET}" == "amd64-unicode"
  SetRegView 64
!endif
FunctionEnd

Section "Uninstall"
  ; The running program of the user uninstalling ends first (it removes its
  ; tray icon); with none running this does nothing. As SYSTEM there is no
  ; user's program to ask. A copy in another session keeps its file, which
  ; is moved aside below.
  ${If} $RunsAsSystem = 0
    ExecWait '"$INSTDIR\Rerevure.exe" /exit'
  ${EndIf}
  Delete "$SMPROGRAMS\Rerevure.lnk"
  Delete "$SMSTARTUP\Rerevure.lnk"
  ; The files of older copies an earlier upgrade moved aside go now if
  ; nothing runs them (else at the restart they were put down for). Then
  ; the program and this uninstaller, which is in use when it works in
  ; place: each goes now, or is moved aside and goes at the next restart.
  Delete "$INSTDIR\Rerevure-*.old"
  Push "$INSTDIR\Rerevure.exe"
  Call un.MoveAside
  ${If} $R0 != ""
    DetailPrint 'Rerevure is still running in another session: its file, now "$R0", is removed at the next restart.'
  ${EndIf}
  Push "$INSTDIR\uninstall.exe"
  Call un.MoveAside
  ; Every user's script goes with the folder: each holds a password.
  RMDir /r /REBOOTOK "${SCRIPT_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The lock file is in the folder: let go of it so the folder can go now.
  System::Call 'kernel32::CloseHandle(p $SetupLock)'
  RMDir /REBOOTOK "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"
SectionEnd
