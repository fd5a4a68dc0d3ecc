; Pelmora's installer for Windows: installs for the current user, without administrator rights,
; into %LOCALAPPDATA%\Programs\Pelmora, with a Start menu shortcut and an uninstaller listed in the
; user's installed programs. The uninstaller removes the program's files and leaves the user's
; data (%LOCALAPPDATA%\Pelmora and the settings under HKEY_CURRENT_USER\Software\Kedrun) alone.
; makensis -DVERSION=2.4 -DSTAGE=<installed files> -DICON=<.ico> -DOUTFILE=<setup.exe> pelmora.nsi
; A 64-bit installer for a 64-bit program (it also runs where only 64-bit programs run).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora"

Name "Pelmora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelmora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "Pelmora"
VIAddVersionKey /LANG=1049 "CompanyName" "Kedrun"
VIAddVersionKey /LANG=1049 "FileDescription" "Pelmora ${VERSION} setup"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "Kedrun"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\pelmora.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; A running Pelmora holds the files the installer replaces and the uninstaller removes. It is
; asked to end the way its "Выход" would, a connection being metered settled first (the event
; "Pelmora.Quit" it listens to), and waited for: every instance holds the mutex "Pelmora" until
; it has ended. $R9 is 1 when one was running and has ended. One that does not end (an older
; version that does not listen) is left to the user; a silent run gives up with exit code 2.
!macro EndRunningPelmora un
Function ${un}EndRunningPelmora
  StrCpy $R9 0
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Pelmora") p .r0'
  ${If} $0 P= 0
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r0)'
  StrCpy $R9 1
  ask:
  System::Call 'kernel32::OpenEventW(i 0x0002, i 0, w "Local\Pelmora.Quit") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::SetEvent(p r1)'
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $2 0
  ${Do}
    Sleep 250
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Pelmora") p .r0'
    ${If} $0 P= 0
      ; Gone: its process lets go of the files a moment later.
      Sleep 1000
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    IntOp $2 $2 + 1
  ${LoopUntil} $2 >= 120
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Pelmora всё ещё работает. Завершите её (меню «Выход») и нажмите «Повтор»." /SD IDCANCEL IDRETRY ask
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro EndRunningPelmora ""
!insertmacro EndRunningPelmora "un."

Section "Pelmora"
  Call EndRunningPelmora
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Pelmora.lnk" "$INSTDIR\pelmora.exe" "" "$INSTDIR\pelmora.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pelmora ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmora.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kedrun"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; An upgrade leaves the program running as it found it.
  ${If} $R9 = 1
    Exec '"$INSTDIR\pelmora.exe"'
  ${EndIf}
SectionEnd

Section "Uninstall"
  Call un.EndRunningPelmora
  ; Only what the installer put there: a file the user left in the folder keeps it.
  Delete "$INSTDIR\pelmora.exe"
  Delete "$INSTDIR\pelmora-history.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\guide.html"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\translations"
  ; Success is told only when the program is gone; until then the uninstaller and its entry
  ; stay, so that it can be run again.
  ${If} ${FileExists} "$INSTDIR\pelmora.exe"
  ${OrIf} ${FileExists} "$INSTDIR\pelmora-history.exe"
  ${OrIf} ${FileExists} "$INSTDIR\*.dll"
  ${OrIf} ${FileExists} "$INSTDIR\platforms\*.*"
    MessageBox MB_OK|MB_ICONSTOP "Не удалось удалить файлы Pelmora из папки $INSTDIR. Закройте программы, которые их используют, и запустите удаление ещё раз." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Pelmora.lnk"
  ; The autostart value would start a program that is gone.
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Pelmora v${VERSION}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
