; Orvanta's Windows installer: per user, no administrator rights.
;
; makensis -DVERSION=1.2.5 -DARCH=x86|amd64 -DPROGRAM=path\Orvanta.exe
;          -DICON=path\orvanta.ico -DOUTFILE=path\setup.exe orvanta.nsi
;
; The program keeps Setting.ini and calleridcomport.ini beside itself, so it
; goes into a folder the user can write. Neither an upgrade nor the
; uninstaller touches those two files.

!ifndef VERSION | ARCH | PROGRAM | ICON | OUTFILE
  !error "define VERSION, ARCH, PROGRAM, ICON and OUTFILE"
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
; The program's windows: its settings window and the hidden owner of its
; tray icon.
!define MAIN_WINDOW_CLASS "OrvantaMainWindow"
!define TRAY_WINDOW_CLASS "OrvantaTrayWindow"

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

; Ends a running Orvanta of this user the way logging off does, so that its
; executable can be replaced or removed. Sets WasRunning to 1 when one ran.
!macro EndRunningProgram un
Function ${un}EndRunningProgram
  StrCpy $WasRunning 0
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 == 0
      ${ExitDo}
    ${EndIf}
    StrCpy $WasRunning 1
    FindWindow $2 "${TRAY_WINDOW_CLASS}"
    ${If} $2 != 0
      SendMessage $2 ${WM_ENDSESSION} 1 0 /TIMEOUT=2000
    ${EndIf}
    SendMessage $0 ${WM_ENDSESSION} 1 0 /TIMEOUT=2000
    Sleep 200
    IntOp $1 $1 + 1
    ${If} $1 >= 50
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ; The window goes before the process has let go of its executable: wait
  ; until the file can be written.
  ${If} ${FileExists} "$INSTDIR\${EXE}"
    StrCpy $1 0
    ${Do}
      ClearErrors
      FileOpen $3 "$INSTDIR\${EXE}" a
      ${IfNot} ${Errors}
        FileClose $3
        ${ExitDo}
      ${EndIf}
      Sleep 200
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 50
  ${EndIf}
FunctionEnd
!macroend
!insertmacro EndRunningProgram ""
!insertmacro EndRunningProgram "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

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
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" 600
SectionEnd

Section "$(ShortcutSection)" SecShortcut
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
SectionEnd

; On by default: caller-ID has to survive a restart of the PC.
Section "$(AutostartSection)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${EXE}"'
SectionEnd

; A program that an upgrade ended runs again at once, also after a silent
; upgrade; a first silent install waits for the next logon.
Section "-Restart"
  ${If} $WasRunning == 1
  ${AndIf} ${Silent}
    Exec '"$INSTDIR\${EXE}"'
  ${EndIf}
SectionEnd

LangString ShortcutSection ${LANG_TURKISH} "Başlat menüsü kısayolu"
LangString ShortcutSection ${LANG_ENGLISH} "Start menu shortcut"
LangString AutostartSection ${LANG_TURKISH} "Windows açılınca başlat"
LangString AutostartSection ${LANG_ENGLISH} "Start at logon"

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.EndRunningProgram
  Delete "$INSTDIR\${EXE}"
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
  ; Removed only when empty: Setting.ini and calleridcomport.ini stay.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ; Last: a silent uninstall runs on from a copy of itself, and the entry's
  ; absence tells a deployment script that it is done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
