; The Windows installer: both programs for this user or for every user, a Start menu entry,
; projects (.mpj) opened by pexol with its icon, and an uninstaller in Windows' list of programs
; that removes every file and key it made.
;   makensis -DVERSION=2.12 -DSTAGE=<the zip's folder> -DOUTFILE=<setup.exe> -DICON=<.ico>
;     -DLANGUAGES=<languages.nsh> pexol.nsi
; (PackWindows.cmake does this for make windows.)
; Silent: setup.exe /S [/AllUsers | /CurrentUser] [/D=folder]; uninstall.exe /S likewise.
; A 64-bit installer for 64-bit programs; it also runs where no 32-bit Windows layer is.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT pexol
!define PROGID "pexol.Project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\pexol"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR ${PRODUCT}
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "Software\${PRODUCT}\Installer"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "Software\${PRODUCT}\Installer"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\pexol.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
; Every other language of po/LINGUAS, with the texts below translated from its catalogue
; (cmake/TranslateMarked.cmake makes it).
!include "${LANGUAGES}"
; What Explorer shows of a project, in the language the installer ran in.
LangString ProjectType ${LANG_ENGLISH} "Video editing project"
LangString OpenWith ${LANG_ENGLISH} "Open with pexol"

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; A folder given with /D= wins over the one the install mode would choose.
  StrCpy $0 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "pexol"
  SetOutPath "$INSTDIR"
  File "${STAGE}\pexol.exe"
  File "${STAGE}\pexol-cli.exe"
  File "${STAGE}\README.txt"
  SetOutPath "$INSTDIR\locale"
  File /nonfatal /r "${STAGE}\locale\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\pexol.lnk" "$INSTDIR\pexol.exe"

  ; Projects open in the window; the programs' icon stands for them.
  WriteRegStr SHCTX "Software\Classes\.mpj" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\.mpj\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "$(ProjectType)"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\pexol.exe",0'
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open" "" "$(OpenWith)"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\pexol.exe" "%1"'

  WriteRegStr SHCTX "Software\${PRODUCT}\Installer" "InstallMode" $MultiUser.InstallMode
  WriteRegStr SHCTX "Software\${PRODUCT}\Installer" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "pexol"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "pexol developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\pexol.exe",0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ; Explorer draws the new icon at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\pexol.exe"
  Delete "$INSTDIR\pexol-cli.exe"
  Delete "$INSTDIR\README.txt"
  RMDir /r "$INSTDIR\locale"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\pexol.lnk"

  ; .mpj is handed back only while it is still ours.
  ReadRegStr $0 SHCTX "Software\Classes\.mpj" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.mpj" ""
  ${EndIf}
  DeleteRegValue SHCTX "Software\Classes\.mpj\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.mpj\OpenWithProgids"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.mpj"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegKey SHCTX "Software\${PRODUCT}\Installer"
  ; The window keeps its settings beside it; they are the user's and stay.
  DeleteRegKey /ifempty SHCTX "Software\${PRODUCT}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
