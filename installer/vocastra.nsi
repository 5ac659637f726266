; vocastra-setup.exe: a per-user install of vocastra.exe and its data folder,
; with a Start-menu entry, an optional start at log-on and an uninstaller.
; Built by the Windows build (cmake/windows.cmake), which defines:
;   VERSION, VERSION_QUAD  the program's version ("1.8", "1.8.0.0")
;   EXE, ICON              vocastra.exe and its icon as built
;   DATA_DIR, FILES        the build's data folder and its generated file list
;   OUT_FILE               where the installer is written
; Silent with /S (both); /D=DIR picks the folder.

Unicode true
; The program is 64-bit only, and so is its installer.
Target amd64-unicode
ManifestDPIAware true
; The settings file lives beside the program and must stay writable by the
; user, so the install is the user's own: no administrator rights.
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include "${FILES}"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vocastra"
; The program's own autorun setting writes this value, with its full path.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "ORMA_VOCASTRA"
; The program's main window, and its quit request (WM_USER + 1).
!define MAIN_WINDOW "ORMA-VOCASTRA"
!define QUIT_REQUEST 0x401
!define SETTINGS "Vocastra.ini"

Name "Vocastra ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Vocastra"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Vocastra ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "Vocastra"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vocastra setup"
VIAddVersionKey "CompanyName" "Vocastra"
VIAddVersionKey "LegalCopyright" ""

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\vocastra.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running program to quit, as a second start of it would, and waits
; until it has gone: it saves its settings on the way out, and its exe cannot
; be replaced while it runs.
!macro DefineEndRunningProgram prefix
Function ${prefix}EndRunningProgram
    FindWindow $0 "" "${MAIN_WINDOW}"
    ${If} $0 == 0
        Return
    ${EndIf}
    DetailPrint "Ending the running Vocastra"
    SendMessage $0 ${QUIT_REQUEST} 0 0 /TIMEOUT=5000
    ${For} $1 1 100
        FindWindow $0 "" "${MAIN_WINDOW}"
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
FunctionEnd
!macroend
!insertmacro DefineEndRunningProgram ""
!insertmacro DefineEndRunningProgram "un."

Section "Vocastra" SecProgram
    SectionIn RO
    Call EndRunningProgram

    ; An earlier install is taken away by its own uninstaller, which keeps
    ; the settings file and the log-on start, so that files this version no
    ; longer ships do not linger.
    ReadRegStr $R0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $R0 != ""
    ${AndIf} ${FileExists} "$R0\uninstall.exe"
        DetailPrint "Removing the earlier version from $R0"
        ExecWait '"$R0\uninstall.exe" /S /UPGRADE _?=$R0'
        Delete "$R0\uninstall.exe"
        ; Installed into another folder now: the settings come along.
        ${If} $R0 != $INSTDIR
        ${AndIfNot} ${FileExists} "$INSTDIR\${SETTINGS}"
        ${AndIf} ${FileExists} "$R0\${SETTINGS}"
            CreateDirectory "$INSTDIR"
            CopyFiles /SILENT "$R0\${SETTINGS}" "$INSTDIR\${SETTINGS}"
            Delete "$R0\${SETTINGS}"
        ${EndIf}
        RMDir "$R0"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "/oname=vocastra.exe" "${EXE}"
    !insertmacro VocastraInstallData
!if /FileExists "${DATA_DIR}/${SETTINGS}"
    ; The default settings go only where the user has none yet.
    SetOverwrite off
    File "${DATA_DIR}/${SETTINGS}"
    SetOverwrite on
!endif

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Vocastra"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Vocastra"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\vocastra.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start menu entry" SecStartMenu
    CreateShortcut "$SMPROGRAMS\Vocastra.lnk" "$INSTDIR\vocastra.exe"
SectionEnd

; The same value and setting as the program's own autorun option, so either
; can change what the other set.
Section "Start at log-on" SecAutorun
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" "$INSTDIR\vocastra.exe"
    WriteINIStr "$INSTDIR\${SETTINGS}" "SETTING" "VAL_AUTORUN_API" "1"
SectionEnd

Section "-No start at log-on"
    ${IfNot} ${SectionIsSelected} ${SecAutorun}
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
        WriteINIStr "$INSTDIR\${SETTINGS}" "SETTING" "VAL_AUTORUN_API" "0"
    ${EndIf}
SectionEnd

Function .onInit
    ; An upgrade keeps the log-on start as the user left it.
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != ""
        ClearErrors
        ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
        ${If} ${Errors}
            !insertmacro UnselectSection ${SecAutorun}
        ${EndIf}
    ${EndIf}
FunctionEnd

; /UPGRADE: run by a newer installer, which puts the program back at once.
Var Upgrade

Function un.onInit
    StrCpy $Upgrade 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/UPGRADE" $1
    ${IfNot} ${Errors}
        StrCpy $Upgrade 1
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.EndRunningProgram
    ${If} $Upgrade == 0
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    Delete "$SMPROGRAMS\Vocastra.lnk"

    ; The exe may stay locked for a moment after its window went away.
    ${For} $1 1 50
        ClearErrors
        Delete "$INSTDIR\vocastra.exe"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
    !insertmacro VocastraRemoveData
    ${If} $Upgrade == 0
        Delete "$INSTDIR\${SETTINGS}"
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
