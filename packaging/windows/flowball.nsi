; Flowball's Windows installers and uninstallers, built by package.py, which
; passes what the build made:
;   makensis /DARCH=x64|x86 /DVERSION=x.y.z /DSAVER=flowball.scr
;            /DICON=flowball.ico /DLICENSE_FILE=LICENSE.txt /DOUTFILE=setup.exe
;            flowball.nsi
;
; ARCH x64: a 64-bit installer (64-bit Windows only) of the 64-bit saver, which
; goes into the 64-bit system folder (System32), with the uninstaller in the
; 64-bit Program Files and the uninstall entry in the 64-bit registry.
; ARCH x86: a 32-bit ANSI installer of the 32-bit saver, which runs on Windows
; 98 SE and later (a Unicode installer imports wide-character functions that
; Windows 9x lacks). $SYSDIR is System32 on 32-bit Windows and, for a 32-bit
; installer on 64-bit Windows, SysWOW64, where 32-bit savers belong.
;
; The second part, on by default, makes Flowball the installing user's screen
; saver: SCRNSAVE.EXE under HKCU\Control Panel\Desktop on Windows NT, and in
; SYSTEM.INI's [boot] section on Windows 9x, where the system reads it.
; Switches: /S (silent, both programs), /NOSETCURRENT (installer: leave the
; current saver alone), /REMOVESETTINGS (uninstaller: also remove the user's
; Flowball settings).
;
; FLOWBALL_TEST_NOT_ADMIN, defined by the tests only, makes the account check
; answer as it does for a user without administrator rights.

!macro RequireDefine NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: see the top of flowball.nsi"
  !endif
!macroend
!insertmacro RequireDefine ARCH
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine SAVER
!insertmacro RequireDefine ICON
!insertmacro RequireDefine LICENSE_FILE
!insertmacro RequireDefine OUTFILE

!if ${ARCH} == x64
  Target amd64-unicode
!else if ${ARCH} == x86
  Target x86-ansi
!else
  !error "ARCH is x64 or x86, not ${ARCH}"
!endif
ManifestDPIAware true
SetCompressor /SOLID lzma
; No file times in the installer, so that two builds of one commit give the
; same bytes.
SetDateSave off

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh
!include WinVer.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Flowball"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_KEY "Software\Flowball"
!define SAVER_FILE "flowball.scr"
!define PUBLISHER "Flowball developers"
; What Windows answers when a program needs an administrator.
!define ERROR_ELEVATION_REQUIRED 740
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_TELL 3

Name "Flowball ${VERSION} (${ARCH})"
OutFile "${OUTFILE}"
!if ${ARCH} == x64
  InstallDir "$PROGRAMFILES64\Flowball"
!else
  InstallDir "$PROGRAMFILES\Flowball"
!endif
RequestExecutionLevel admin
BrandingText "Flowball ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!define MUI_COMPONENTSPAGE_TEXT_TOP "Flowball goes into the Windows system folder, where the Screen Saver settings list it."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES

!define MUI_COMPONENTSPAGE_TEXT_TOP "Tick the second box to remove your Flowball settings as well."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Flowball"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Flowball ${VERSION} Setup (${ARCH})"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}, MIT licence"

; Both programs change the system folder and HKLM: without administrator
; rights they say so and end before changing anything.
!macro RequireAdministrator WHAT
  UserInfo::GetAccountType
  Pop $0
  !ifdef FLOWBALL_TEST_NOT_ADMIN
    StrCpy $0 "User"
  !endif
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${WHAT} needs administrator rights: Flowball lives in the Windows system folder and is listed for every user of this computer.$\r$\n$\r$\nNothing was changed. Run it again as an administrator (right-click it, Run as administrator)." /SD IDOK
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
!macroend

Section "Flowball screen saver" SecSaver
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "/oname=${SAVER_FILE}" "${SAVER}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ${GetSize} "$SYSDIR" "/M=${SAVER_FILE} /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Flowball"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SAVER_FILE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make Flowball the current screen saver" SecCurrent
  ; Windows keeps the saver's path in its short form.
  GetFullPathName /SHORT $0 "$SYSDIR\${SAVER_FILE}"
  ${If} ${IsNT}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  ${Else}
    WriteINIStr "$WINDIR\SYSTEM.INI" "boot" "SCRNSAVE.EXE" "$0"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; The running session keeps its own copy of the switch: tell it too.
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_TELL})'
SectionEnd

; The 64-bit programs see the 64-bit registry, where Windows lists 64-bit
; programs.
!macro UseRegistryView
  !if ${ARCH} == x64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro UseRegistryView
  !insertmacro RequireAdministrator "Flowball's installer"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOSETCURRENT" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecCurrent} 0
  ${EndIf}
FunctionEnd

Section "un.Flowball screen saver" UnSecSaver
  SectionIn RO
  ; The current saver goes back to none only while it is still ours.
  ${If} ${IsNT}
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${Else}
    ReadINIStr $0 "$WINDIR\SYSTEM.INI" "boot" "SCRNSAVE.EXE"
  ${EndIf}
  StrCpy $1 ""
  ${If} $0 != ""
    GetFullPathName /SHORT $1 "$0"
  ${EndIf}
  GetFullPathName /SHORT $2 "$SYSDIR\${SAVER_FILE}"
  StrCpy $3 0
  ${If} $0 == "$SYSDIR\${SAVER_FILE}"
    StrCpy $3 1
  ${ElseIf} $1 != ""
  ${AndIf} $1 == $2
    StrCpy $3 1
  ${EndIf}
  ${If} $3 == 1
    ${If} ${IsNT}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      DeleteINIStr "$WINDIR\SYSTEM.INI" "boot" "SCRNSAVE.EXE"
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_TELL})'
  ${EndIf}

  Delete /REBOOTOK "$SYSDIR\${SAVER_FILE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.My Flowball settings" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Function un.onInit
  !insertmacro UseRegistryView
  !insertmacro RequireAdministrator "Removing Flowball"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnSecSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
