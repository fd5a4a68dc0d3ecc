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

Section "Pelmora"
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
SectionEnd

Section "Uninstall"
  ; Only what the installer put there: a file the user left in the folder keeps it.
  Delete "$INSTDIR\pelmora.exe"
  Delete "$INSTDIR\pelmora-history.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\guide.html"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Pelmora.lnk"
  ; The autostart value would start a program that is gone.
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Pelmora v${VERSION}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
