; The Windows installer, made by scripts/package-windows.sh:
;   makensis -DVERSION=1.2.3 -DFILES=DIR -DICON=FILE -DOUT=FILE vimbrel.nsi
; For the current user, without admin rights, into
; %LOCALAPPDATA%\Programs\Vimbrel (the default, and what /S does), or for
; all users into Program Files (asked for when run by hand; /AllUsers on the
; command line, which needs an administrator). A Start-menu shortcut, an
; "Apps & features" entry and an uninstaller that removes what was put here.
; In Chinese or English: the system's language chosen in the language
; dialog (English where the system's is neither).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vimbrel"

Name "Vimbrel ${VERSION}"
OutFile "${OUT}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Vimbrel"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Vimbrel"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Vimbrel ${VERSION} 安装程序"
VIAddVersionKey /LANG=0 "LegalCopyright" "Vimbrel"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one for a system that speaks neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString AllUsersQuestion ${LANG_SIMPCHINESE} "为这台计算机的所有用户安装 Vimbrel 吗？$\r$\n$\r$\n“是”：安装到 Program Files，需要管理员权限。$\r$\n“否”：只为当前用户安装，不需要管理员权限。"
LangString AllUsersQuestion ${LANG_ENGLISH} "Install Vimbrel for all users of this computer?$\r$\n$\r$\nYes: into Program Files; needs administrator rights.$\r$\nNo: for the current user only; no administrator rights needed."

Var AllUsers

Function .onInit
  ; Offers both languages, the system's chosen; a silent install takes it.
  !insertmacro MUI_LANGDLL_DISPLAY
  StrCpy $AllUsers 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${ElseIfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION "$(AllUsersQuestion)" IDNO onInitDone
    StrCpy $AllUsers 1
  ${EndIf}
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $2
    ${If} $2 != "admin"
      ${IfNot} ${Silent}
        ; Again, elevated: the installer then runs as the administrator.
        ExecShell "runas" "$EXEPATH" "/AllUsers"
      ${EndIf}
      SetErrorLevel 740
      Quit
    ${EndIf}
    ; Before the context changes: $LOCALAPPDATA is the user's one here.
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\Vimbrel"
      StrCpy $INSTDIR "$PROGRAMFILES64\Vimbrel"
    ${EndIf}
    SetShellVarContext all
  ${EndIf}
  onInitDone:
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "${FILES}/vimbrel.exe"
  File "${FILES}/vimbrel-cli.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vimbrel.lnk" "$INSTDIR\vimbrel.exe" "" "$INSTDIR\vimbrel.exe" 0
  ; SHCTX: HKCU for the current user, HKLM for all users.
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Vimbrel"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "Vimbrel"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\vimbrel.exe"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; An installation for all users is the one HKLM names.
; The uninstaller speaks the system's language, without asking.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
  ${EndIf}
FunctionEnd

Section Uninstall
  Delete "$SMPROGRAMS\Vimbrel.lnk"
  Delete "$INSTDIR\vimbrel.exe"
  Delete "$INSTDIR\vimbrel-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
