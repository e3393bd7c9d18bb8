; Orvanta's Windows installer: per user, no administrator rights.
;
; makensis -DVERSION=1.2.5 -DARCH=x86|amd64 -DPROGRAM=path\Orvanta.exe
;          -DRECEIVER=path\OrvantaAlici.exe -DICON=path\orvanta.ico
;          -DOUTFILE=path\setup.exe orvanta.nsi
;
; The programs keep their files beside themselves (Orvanta: Setting.ini and
; calleridcomport.ini; the receiver OrvantaAlici: Alici.ini, AliciGecmis.csv
; and Rehber.csv), so they go into a folder the user can write. Neither an
; upgrade nor the uninstaller touches those files.
;
; The receiver is a component, off unless it is installed already: the PC
; with the caller ID device needs only Orvanta, the other PCs of the office
; tick it. On the command line (silent installs):
;   /ALICI        install the receiver too (/ALICI=1 alike)
;   /ALICI=0      leave it out; an upgrade removes an installed one
;   /AUTOSTART=0  do not start Orvanta at logon (a PC that only receives)

!ifndef VERSION | ARCH | PROGRAM | RECEIVER | ICON | OUTFILE
  !error "define VERSION, ARCH, PROGRAM, RECEIVER, ICON and OUTFILE"
!endif

Unicode true
!if ${ARCH} == "amd64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Orvanta"
!define PUBLISHER "VELMORIS"
!define EXE "Orvanta.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The receiver: its file, Start-menu entry and autostart value. The entry's
; name is plain ASCII: under Wine, where the installer is tested, a shortcut
; named with "ı" cannot be saved.
!define RECEIVER_EXE "OrvantaAlici.exe"
!define RECEIVER_SHORTCUT "Orvanta Alici"
!define RECEIVER_RUN_VALUE "OrvantaAlici"
; A window of each program that only it has: Orvanta's settings window and
; the receiver's history window, which both exist, hidden, while the program
; runs. (Their tray icons' windows share one class.)
!define MAIN_WINDOW_CLASS "OrvantaMainWindow"
!define RECEIVER_WINDOW_CLASS "OrvantaAliciHistory"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "Sections.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Turkish"
!insertmacro MUI_LANGUAGE "English"

Var WasRunning
Var ReceiverWasRunning

; Ends every running copy of a program of this user, found by the window
; class only it has, the way logging off does, so that its executable can be
; replaced or removed; then waits until that file can be written. Sets
; `result` to 1 when one ran.
!macro EndRunning window_class exe result
  StrCpy ${result} 0
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${window_class}"
    ${If} $0 == 0
      ${ExitDo}
    ${EndIf}
    StrCpy ${result} 1
    SendMessage $0 ${WM_ENDSESSION} 1 0 /TIMEOUT=2000
    Sleep 200
    IntOp $1 $1 + 1
    ${If} $1 >= 50
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ; The window goes before the process has let go of its executable.
  ${If} ${FileExists} "${exe}"
    StrCpy $1 0
    ${Do}
      ClearErrors
      FileOpen $3 "${exe}" a
      ${IfNot} ${Errors}
        FileClose $3
        ${ExitDo}
      ${EndIf}
      Sleep 200
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 50
  ${EndIf}
!macroend

!macro EndRunningPrograms un
Function ${un}EndRunningProgram
  !insertmacro EndRunning "${MAIN_WINDOW_CLASS}" "$INSTDIR\${EXE}" $WasRunning
FunctionEnd
Function ${un}EndRunningReceiver
  !insertmacro EndRunning "${RECEIVER_WINDOW_CLASS}" "$INSTDIR\${RECEIVER_EXE}" \
    $ReceiverWasRunning
FunctionEnd
!macroend
!insertmacro EndRunningPrograms ""
!insertmacro EndRunningPrograms "un."

Section "${PRODUCT}" SecProgram
  SectionIn RO
  Call EndRunningProgram
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=${EXE}" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ; The optional parts below put back what the user keeps.
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "$(ShortcutSection)" SecShortcut
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
SectionEnd

; On by default: caller-ID has to survive a restart of the PC.
Section "$(AutostartSection)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${EXE}"'
SectionEnd

; The receiver with its own Start-menu entry, started at logon: a PC that
; shows calls has to show them after a restart too.
Section /o "$(ReceiverSection)" SecReceiver
  Call EndRunningReceiver
  SetOutPath "$INSTDIR"
  File "/oname=${RECEIVER_EXE}" "${RECEIVER}"
  CreateShortCut "$SMPROGRAMS\${RECEIVER_SHORTCUT}.lnk" "$INSTDIR\${RECEIVER_EXE}" "" \
    "$INSTDIR\${RECEIVER_EXE}" 0
  WriteRegStr HKCU "${RUN_KEY}" "${RECEIVER_RUN_VALUE}" '"$INSTDIR\${RECEIVER_EXE}"'
SectionEnd

; An upgrade without the receiver takes an installed one away; its files
; stay, as the uninstaller leaves them.
Section "-ReceiverRemoval"
  ${IfNot} ${SectionIsSelected} ${SecReceiver}
    ${If} ${FileExists} "$INSTDIR\${RECEIVER_EXE}"
      Call EndRunningReceiver
      StrCpy $ReceiverWasRunning 0
    ${EndIf}
    Delete "$INSTDIR\${RECEIVER_EXE}"
    Delete "$SMPROGRAMS\${RECEIVER_SHORTCUT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${RECEIVER_RUN_VALUE}"
  ${EndIf}
SectionEnd

; A program that an upgrade ended runs again at once. Orvanta after a
; silent upgrade (the finish page offers to start it otherwise); the
; receiver always, as the finish page does not offer it. A first silent
; install waits for the next logon.
Section "-Restart"
  ${If} $WasRunning == 1
  ${AndIf} ${Silent}
    Exec '"$INSTDIR\${EXE}"'
  ${EndIf}
  ${If} $ReceiverWasRunning == 1
    Exec '"$INSTDIR\${RECEIVER_EXE}"'
  ${EndIf}
  SectionGetSize ${SecProgram} $0
  ${If} ${SectionIsSelected} ${SecReceiver}
    SectionGetSize ${SecReceiver} $1
    IntOp $0 $0 + $1
  ${EndIf}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

LangString ShortcutSection ${LANG_TURKISH} "Başlat menüsü kısayolu"
LangString ShortcutSection ${LANG_ENGLISH} "Start menu shortcut"
LangString AutostartSection ${LANG_TURKISH} "Windows açılınca başlat"
LangString AutostartSection ${LANG_ENGLISH} "Start at logon"
LangString ReceiverSection ${LANG_TURKISH} "Orvanta Alıcı (aramaları bu bilgisayarda göster)"
LangString ReceiverSection ${LANG_ENGLISH} "Orvanta Alıcı (show the calls on this PC)"

Function .onInit
  SetShellVarContext current
  ; An upgrade keeps the receiver where it is installed.
  ${If} ${FileExists} "$INSTDIR\${RECEIVER_EXE}"
    !insertmacro SelectSection ${SecReceiver}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALICI" $1
  ${IfNot} ${Errors}
    ${If} $1 == "=0"
      !insertmacro UnselectSection ${SecReceiver}
    ${Else}
      !insertmacro SelectSection ${SecReceiver}
    ${EndIf}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART=" $1
  ${IfNot} ${Errors}
  ${AndIf} $1 == "0"
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.EndRunningProgram
  ${If} ${FileExists} "$INSTDIR\${RECEIVER_EXE}"
    Call un.EndRunningReceiver
  ${EndIf}
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${RECEIVER_EXE}"
  ; The uninstaller this copy was started from may not have ended yet, and
  ; its file cannot go while it runs: try again for up to 10 s.
  StrCpy $R9 0
  uninstaller_delete:
    ClearErrors
    Delete "$INSTDIR\${UNINSTALLER}"
    IfErrors 0 uninstaller_deleted
    IntOp $R9 $R9 + 1
    IntCmp $R9 100 uninstaller_deleted
    Sleep 100
    Goto uninstaller_delete
  uninstaller_deleted:
  ; Removed only when empty: the programs' settings, history and phone book
  ; stay.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${RECEIVER_SHORTCUT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RECEIVER_RUN_VALUE}"
  ; Last: a silent uninstall runs on from a copy of itself, and the entry's
  ; absence tells a deployment script that it is done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
