; The Windows installer, made by scripts/package-windows.sh:
;   makensis -DVERSION=1.2.3 -DFILES=DIR -DICON=FILE -DOUT=FILE vimbrel.nsi
; For the current user, without admin rights, into
; %LOCALAPPDATA%\Programs\Vimbrel (the default, and what /S does), or for
; all users into Program Files (asked for when run by hand; /AllUsers on the
; command line, which needs an administrator). A Start-menu shortcut, an
; "Apps & features" entry and an uninstaller that removes what was put here.
; For all users also Windows Firewall's inbound allow rules of the two
; programs (the cameras' replies), named "Vimbrel (vimbrel.exe)" and
; "Vimbrel (vimbrel-cli.exe)" as the programs' own fix names them; the
; uninstaller deletes exactly these. The installation for the current user
; cannot add a rule and says so on its last page, with the one-click fix.
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

Var FinishText  ; the last page's words, set by the install

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$FinishText"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one for a system that speaks neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString AllUsersQuestion ${LANG_SIMPCHINESE} "为这台计算机的所有用户安装 Vimbrel 吗？$\r$\n$\r$\n“是”：安装到 Program Files，需要管理员权限。$\r$\n“否”：只为当前用户安装，不需要管理员权限。"
LangString AllUsersQuestion ${LANG_ENGLISH} "Install Vimbrel for all users of this computer?$\r$\n$\r$\nYes: into Program Files; needs administrator rights.$\r$\nNo: for the current user only; no administrator rights needed."
LangString FinishAllUsers ${LANG_SIMPCHINESE} "Vimbrel 已安装。Windows 防火墙已允许它接收摄像机的应答。"
LangString FinishAllUsers ${LANG_ENGLISH} "Vimbrel is installed. Windows Firewall lets it receive the cameras' replies."
LangString FinishCurrentUser ${LANG_SIMPCHINESE} "Vimbrel 已安装。$\r$\n$\r$\n只为当前用户安装时无法在 Windows 防火墙中添加允许 Vimbrel 的规则。如果搜索不到摄像机，主窗口会说明防火墙是否拦截了应答：点“允许通过防火墙”（需要确认一次管理员权限）即可；或在管理员命令提示符中运行“vimbrel-cli firewall allow”。"
LangString FinishCurrentUser ${LANG_ENGLISH} "Vimbrel is installed.$\r$\n$\r$\nInstalled for the current user only, it cannot add a rule that lets Vimbrel through Windows Firewall. If a search finds no camera, the main window says whether the firewall blocks the replies: click $\"Allow through firewall$\" (one administrator confirmation), or run $\"vimbrel-cli firewall allow$\" from an administrator's command prompt."

Var AllUsers

; An inbound allow rule for one installed program: UDP, every profile.
!macro AddFirewallRule FILE
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="Vimbrel (${FILE})" dir=in action=allow program="$INSTDIR\${FILE}" protocol=udp profile=any enable=yes'
  Pop $0
!macroend
!macro DeleteFirewallRule FILE
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="Vimbrel (${FILE})"'
  Pop $0
!macroend

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
  ${If} $AllUsers == 1
    !insertmacro AddFirewallRule "vimbrel.exe"
    !insertmacro AddFirewallRule "vimbrel-cli.exe"
    StrCpy $FinishText "$(FinishAllUsers)"
  ${Else}
    StrCpy $FinishText "$(FinishCurrentUser)"
  ${EndIf}
SectionEnd

; An installation for all users is the one HKLM names.
; The uninstaller speaks the system's language, without asking.
Function un.onInit
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
    StrCpy $AllUsers 1
  ${EndIf}
FunctionEnd

Section Uninstall
  ${If} $AllUsers == 1
    !insertmacro DeleteFirewallRule "vimbrel.exe"
    !insertmacro DeleteFirewallRule "vimbrel-cli.exe"
  ${EndIf}
  Delete "$SMPROGRAMS\Vimbrel.lnk"
  Delete "$INSTDIR\vimbrel.exe"
  Delete "$INSTDIR\vimbrel-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
