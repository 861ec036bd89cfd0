; The Tamsel Updater's installer for Windows desktops: a per-user install (no administrator
; rights) of a kit folder with the updater, its settings, a Start menu shortcut, a scheduled task
; that runs the due check daily and at logon, and an entry in the user's installed programs.
;
; makensis -DVERSION=1.4.0.1 -DPROGRAMS=<folder of the .exe files> -DOUTFILE=tamsel-setup.exe
;
; Deployment: tamsel-setup.exe /S /REMOTE=https://kits.example.com/tamsel [/USER=name]
;   [/DEPARTMENT=name] [/EMAIL=address] [/PUBLICKEY=key] [/D=folder (last, unquoted)]
; Exit status 0 when installed, 2 when /REMOTE is missing or a value cannot be used.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include StrFunc.nsh
${StrLoc}

!define PRODUCT "Tamsel Updater"
!define PUBLISHER "Tam-Sel Ltd."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TamselUpdater"
!define TASK "Tamsel Updater due check"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define ICON "${__FILEDIR__}\..\src\win32\tamsel-updater.ico"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Tamsel"
ShowInstDetails show
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright ${PUBLISHER}"

Var Remote
Var User
Var Department
Var Email
Var PublicKey
Var Fields

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
Page custom SettingsPage SettingsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; $2 = the value of the option $1 (such as "/REMOTE=", in any case) in the command line $0: up
; to the next " /" or the end, or between double quotes when it starts with one (addresses hold
; "/" themselves, names spaces); empty when the option is not there.
Function OptionValue
  StrCpy $2 ""
  ${StrLoc} $3 $0 $1 ">"
  ${If} $3 == ""
    Return
  ${EndIf}
  StrLen $4 $1
  IntOp $3 $3 + $4
  StrCpy $2 $0 "" $3
  StrCpy $4 $2 1
  ${If} $4 == '"'
    StrCpy $2 $2 "" 1
    ${StrLoc} $3 $2 '"' ">"
    ${If} $3 != ""
      StrCpy $2 $2 $3
    ${EndIf}
  ${Else}
    ${WordFind} $2 " /" "+1{" $2
  ${EndIf}
  ClearErrors
FunctionEnd

!macro Option NAME VAR
  StrCpy $1 "${NAME}"
  Call OptionValue
  StrCpy ${VAR} $2
!macroend

Function .onInit
  SetShellVarContext current
  ${GetParameters} $0
  !insertmacro Option "/REMOTE=" $Remote
  !insertmacro Option "/USER=" $User
  !insertmacro Option "/DEPARTMENT=" $Department
  !insertmacro Option "/EMAIL=" $Email
  !insertmacro Option "/PUBLICKEY=" $PublicKey
  ${If} ${Silent}
  ${AndIf} $Remote == ""
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; The server address and the user's details, filled from the command line when given.
Function SettingsPage
  !insertmacro MUI_HEADER_TEXT "Kit settings" "Where the kit is published, and who you are."
  nsDialogs::Create 1018
  Pop $Fields
  ${NSD_CreateLabel} 0 2u 30% 10u "&Server address:"
  ${NSD_CreateText} 32% 0 68% 12u $Remote
  Pop $R1
  ${NSD_CreateLabel} 0 22u 30% 10u "&Full name:"
  ${NSD_CreateText} 32% 20u 68% 12u $User
  Pop $R2
  ${NSD_CreateLabel} 0 42u 30% 10u "&Department:"
  ${NSD_CreateText} 32% 40u 68% 12u $Department
  Pop $R3
  ${NSD_CreateLabel} 0 62u 30% 10u "&E-mail address:"
  ${NSD_CreateText} 32% 60u 68% 12u $Email
  Pop $R4
  ${NSD_CreateLabel} 0 82u 30% 10u "&Public key (optional):"
  ${NSD_CreateText} 32% 80u 68% 12u $PublicKey
  Pop $R5
  ${NSD_SetFocus} $R1
  nsDialogs::Show
FunctionEnd

Function SettingsPageLeave
  ${NSD_GetText} $R1 $Remote
  ${NSD_GetText} $R2 $User
  ${NSD_GetText} $R3 $Department
  ${NSD_GetText} $R4 $Email
  ${NSD_GetText} $R5 $PublicKey
  ${If} $Remote == ""
    MessageBox MB_ICONEXCLAMATION "Please enter the address of the server the kit comes from."
    Abort
  ${EndIf}
FunctionEnd

; $0 with &, < and > written for XML.
Function XmlEscape
  ${WordReplace} $0 "&" "&amp;" "+" $0
  ${WordReplace} $0 "<" "&lt;" "+" $0
  ${WordReplace} $0 ">" "&gt;" "+" $0
FunctionEnd

; The scheduled task's definition: the due check once a day at noon and at the user's logon,
; each with a random delay of up to an hour so that a whole office does not call at once; a day
; missed while the computer was off is caught up when it next runs.
Function WriteTaskDefinition
  ReadEnvStr $1 USERDOMAIN
  ReadEnvStr $2 USERNAME
  StrCpy $0 "$1\$2"
  Call XmlEscape
  StrCpy $3 $0
  StrCpy $0 "$INSTDIR\Updater\tamsel-due-check.exe"
  Call XmlEscape
  StrCpy $4 $0
  StrCpy $0 "$INSTDIR"
  Call XmlEscape
  StrCpy $5 $0
  FileOpen $9 "$INSTDIR\Updater\tamsel-due-check.xml" w
  FileWriteWord $9 0xFEFF
  FileWriteUTF16LE $9 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $9 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $9 '  <RegistrationInfo><Author>${PUBLISHER}</Author><Description>Starts a background update of the kit in $5 when one is due.</Description></RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $9 '  <Triggers>$\r$\n'
  FileWriteUTF16LE $9 '    <CalendarTrigger><StartBoundary>2024-01-01T12:00:00</StartBoundary><Enabled>true</Enabled><RandomDelay>PT1H</RandomDelay><ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay></CalendarTrigger>$\r$\n'
  FileWriteUTF16LE $9 '    <LogonTrigger><Enabled>true</Enabled><UserId>$3</UserId><Delay>PT5M</Delay></LogonTrigger>$\r$\n'
  FileWriteUTF16LE $9 '  </Triggers>$\r$\n'
  FileWriteUTF16LE $9 '  <Principals><Principal id="Author"><UserId>$3</UserId><LogonType>InteractiveToken</LogonType><RunLevel>LeastPrivilege</RunLevel></Principal></Principals>$\r$\n'
  FileWriteUTF16LE $9 '  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy><DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries><StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>true</StartWhenAvailable><RunOnlyIfNetworkAvailable>true</RunOnlyIfNetworkAvailable><ExecutionTimeLimit>PT4H</ExecutionTimeLimit><Enabled>true</Enabled></Settings>$\r$\n'
  FileWriteUTF16LE $9 '  <Actions Context="Author"><Exec><Command>$4</Command><Arguments>"$5"</Arguments></Exec></Actions>$\r$\n'
  FileWriteUTF16LE $9 '</Task>$\r$\n'
  FileClose $9
FunctionEnd

Section "Install"
  ; The settings first: a folder that holds other files and no kit is refused before anything is
  ; written into it.
  InitPluginsDir
  SetOutPath $PLUGINSDIR
  File "${PROGRAMS}\tamsel-kit-setup.exe"
  StrCpy $0 '"$PLUGINSDIR\tamsel-kit-setup.exe" "$INSTDIR" --remote "$Remote"'
  ${If} $User != ""
    StrCpy $0 '$0 --user "$User"'
  ${EndIf}
  ${If} $Department != ""
    StrCpy $0 '$0 --department "$Department"'
  ${EndIf}
  ${If} $Email != ""
    StrCpy $0 '$0 --email "$Email"'
  ${EndIf}
  ${If} $PublicKey != ""
    StrCpy $0 '$0 --public-key "$PublicKey"'
  ${EndIf}
  nsExec::ExecToLog $0
  Pop $1
  ${If} $1 != 0
    DetailPrint "The kit's settings could not be written ($1)."
    MessageBox MB_ICONSTOP "The kit's settings could not be written in $INSTDIR: choose an empty folder or a kit, and values without double quotes." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  SetOutPath "$INSTDIR\Updater"
  File "${PROGRAMS}\tamsel-updater.exe"
  File "${PROGRAMS}\tamsel-due-check.exe"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Updater\tamsel-updater.exe" "" \
    "$INSTDIR\Updater\tamsel-updater.exe" 0 SW_SHOWNORMAL "" "Keeps your presentation kit up to date"

  Call WriteTaskDefinition
  nsExec::ExecToLog 'schtasks.exe /Create /F /TN "${TASK}" /XML "$INSTDIR\Updater\tamsel-due-check.xml"'
  Pop $1
  ${If} $1 != 0
    DetailPrint "The scheduled task could not be registered ($1): import $INSTDIR\Updater\tamsel-due-check.xml."
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Updater\tamsel-updater.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Removes what ties the kit to the desktop; the kit, its settings and the updater stay.
Section "Uninstall"
  nsExec::ExecToLog 'schtasks.exe /Delete /F /TN "${TASK}"'
  Pop $0
  Delete "$INSTDIR\Updater\tamsel-due-check.xml"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
SectionEnd
