; The Windows installer of KVTESO, made by scripts/package-windows.sh with NSIS:
;
;   makensis -NOCD -DVERSION=1.0 -DVERSION4=1.0.0.0 -DPROGRAM=kvteso.exe -DICON=kvteso.ico -DOUTFILE=kvteso-1.0-setup.exe kvteso.nsi
;
; It puts kvteso.exe under Program Files\KVTESO (64-bit), a Start menu entry "Stampe Fondo Tesoreria"
; for all users and an uninstaller registered under Add/Remove Programs. The uninstaller takes away
; exactly those and nothing else: the suite's folders and its settings (HKCU\SOFTWARE\VELMORA\KVSPAGHE)
; belong to the suite. /S installs and uninstalls silently; uninstall.exe /S _?=FOLDER waits for the end.

; A 64-bit installer for a 64-bit program: it cannot start where the program could not run.
Target amd64-unicode
SetCompressor /SOLID lzma
; No file dates in the installer: the same program gives the same installer, whenever it was built.
SetDateSave off
RequestExecutionLevel admin
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KVTESO"
!define SHORTCUT "$SMPROGRAMS\Stampe Fondo Tesoreria.lnk"
!define PUBLISHER "KVTESO developers"

Name "KVTESO"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\KVTESO"
BrandingText "KVTESO ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; Italian first: the installer speaks Italian unless Windows speaks English.
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductName" "KVTESO"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileDescription" "Installazione di KVTESO - Stampe Fondo Tesoreria"
VIAddVersionKey /LANG=${LANG_ITALIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "LegalCopyright" "Copyright 2026 ${PUBLISHER}"

Function .onInit
  SetRegView 64
  ; A new version goes where the earlier one is, unless /D= names another folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\KVTESO"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=kvteso.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\kvteso.exe" "" "$INSTDIR\kvteso.exe" 0 SW_SHOWNORMAL "" \
    "Stampe Fondo Tesoreria"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KVTESO - Stampe Fondo Tesoreria"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kvteso.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section Uninstall
  SetShellVarContext all
  Delete "${SHORTCUT}"
  ; A program still open is removed at the next start of Windows.
  Delete /REBOOTOK "$INSTDIR\kvteso.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever else is in the folder is not ours.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
