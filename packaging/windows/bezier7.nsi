; The Windows installer: bezier7.exe and its licence texts into Program Files\bezier7, a Start-menu
; shortcut, an entry in the list of installed programs, and an uninstaller that takes all of it
; away again. A 64-bit installer for a 64-bit program; /S installs (and uninstalls) silently.
; scripts/windows.sh runs it:
;   makensis -DVERSION=1.00 -DSTAGE=<folder with the files> -DICON=<.ico> -DOUTFILE=<setup.exe>

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\bezier7"

Name "bezier7 ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\bezier7"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "${STAGE}\bezier7.exe"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\Qt-LGPL-3.0.txt"
    File "${STAGE}\GPL-3.0.txt"
    File "${STAGE}\Qt-NOTICE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\bezier7.lnk" "$INSTDIR\bezier7.exe" "" "$INSTDIR\bezier7.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "bezier7"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bezier7.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "bezier7 team"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$SMPROGRAMS\bezier7.lnk"
    Delete "$INSTDIR\bezier7.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\Qt-LGPL-3.0.txt"
    Delete "$INSTDIR\GPL-3.0.txt"
    Delete "$INSTDIR\Qt-NOTICE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
