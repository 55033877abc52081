// The names of every fixed text the program shows: the wizards' captions and page texts,
// the summary's headings, the message boxes and the progress lines. Each language's file
// (language/texts/*.txt) gives one line per name; the names here and there are the same.
#pragma once

#include <cstddef>

// X(Name): one entry per text, in the order the English file lists them.
#define QE_TEXT_IDS(X)                                                                                                 \
    X(ButtonPrev)                                                                                                      \
    X(ButtonNext)                                                                                                      \
    X(ButtonCancel)                                                                                                    \
    X(ButtonFinish)                                                                                                    \
    X(CaptionError)                                                                                                    \
    X(CaptionWarning)                                                                                                  \
    X(InstallTitle)                                                                                                    \
    X(UninstallTitle)                                                                                                  \
    X(InstallWelcomeHeading)                                                                                           \
    X(InstallWelcomeText)                                                                                              \
    X(UninstallWelcomeHeading)                                                                                         \
    X(UninstallWelcomeText)                                                                                            \
    X(BuilderNotice)                                                                                                   \
    X(BuilderNoticeLink)                                                                                               \
    X(InstallFinishHeading)                                                                                            \
    X(InstallFinishText)                                                                                               \
    X(UninstallFinishHeading)                                                                                          \
    X(UninstallFinishText)                                                                                             \
    X(RunAfterInstall)                                                                                                 \
    X(InfoTitle)                                                                                                       \
    X(InfoSubtitle)                                                                                                    \
    X(InfoInstruction)                                                                                                 \
    X(LicenseTitle)                                                                                                    \
    X(LicenseSubtitle)                                                                                                 \
    X(LicenseInstruction)                                                                                              \
    X(LicenseAccept)                                                                                                   \
    X(LicenseDecline)                                                                                                  \
    X(FolderTitle)                                                                                                     \
    X(FolderSubtitle)                                                                                                  \
    X(FolderInstruction)                                                                                               \
    X(FolderAdd)                                                                                                       \
    X(FolderChooserCaption)                                                                                            \
    X(ReadyTitle)                                                                                                      \
    X(ReadySubtitle)                                                                                                   \
    X(ReadyInstruction)                                                                                                \
    X(SummaryProgramName)                                                                                              \
    X(SummaryForCurrentUser)                                                                                           \
    X(SummarySkippedFolder)                                                                                            \
    X(SummaryBuild)                                                                                                    \
    X(SummaryRelease)                                                                                                  \
    X(SummaryTargetFolders)                                                                                            \
    X(SummaryProgramFolder)                                                                                            \
    X(SummaryStartMenuFolder)                                                                                          \
    X(InstallProgressTitle)                                                                                            \
    X(InstallProgressSubtitle)                                                                                         \
    X(InstallProgressLabel)                                                                                            \
    X(UninstallProgressTitle)                                                                                          \
    X(UninstallProgressSubtitle)                                                                                       \
    X(UninstallProgressLabel)                                                                                          \
    X(NewsTitle)                                                                                                       \
    X(NewsSubtitle)                                                                                                    \
    X(NewsInstruction)                                                                                                 \
    X(MessageTerminalRunning)                                                                                          \
    X(MessageNoTerminalFound)                                                                                          \
    X(MessageNotAFolderOnDisk)                                                                                         \
    X(MessageChosenItemNotAFolderOnDisk)                                                                               \
    X(MessageTerminalFolderMissing)                                                                                    \
    X(ProgressCopyingFile)                                                                                             \
    X(ProgressSkippingFolder)                                                                                          \
    X(ProgressOverridingSettings)                                                                                      \
    X(ProgressCreatingShortcut)                                                                                        \
    X(ProgressCreatingUninstaller)                                                                                     \
    X(ProgressRegisteringUninstaller)                                                                                  \
    X(ProgressNotRegistering)                                                                                          \
    X(ProgressDeletingFile)                                                                                            \
    X(ProgressRemovingFolder)                                                                                          \
    X(ProgressNotRemovingSharedFolder)                                                                                 \
    X(ProgressUnregistering)                                                                                           \
    X(ProgressNotUnregistering)                                                                                        \
    X(ProgressNotDeletingFile)                                                                                         \
    X(ProgressNotRemovingFolder)                                                                                       \
    X(ProgressNotUnregisteringName)                                                                                    \
    X(ProgressNotUnregisteringOther)                                                                                   \
    X(ProgressDone)                                                                                                    \
    X(MessagePackageDamaged)                                                                                           \
    X(FaultRecordsCut)                                                                                                 \
    X(FaultIntegrityUnreadable)                                                                                        \
    X(FaultRecordsAfterIntegrity)                                                                                      \
    X(FaultIntegrityFileCount)                                                                                         \
    X(FaultRecordsDigest)                                                                                              \
    X(FaultFileOutside)                                                                                                \
    X(FaultFileDigest)                                                                                                 \
    X(FaultFileDamagedBlock)                                                                                           \
    X(PathFaultEmptyName)                                                                                              \
    X(PathFaultLeavesFolder)                                                                                           \
    X(PathFaultControlCharacter)                                                                                       \
    X(PathFaultRefusedCharacter)                                                                                       \
    X(PathFaultTrailingDotOrBlank)                                                                                     \
    X(PathFaultDeviceName)                                                                                             \
    X(PathFaultShortName)                                                                                              \
    X(PathFaultNameTooLong)                                                                                            \
    X(PathFaultEmptyFolderName)                                                                                        \
    X(PathFaultDevicePath)                                                                                             \
    X(PathFaultNoDrive)                                                                                                \
    X(TargetFaultSlash)                                                                                                \
    X(TargetFaultNotAMacro)                                                                                            \
    X(TargetFaultAbsolute)                                                                                             \
    X(TargetFaultNoMacro)                                                                                              \
    X(TargetFaultNoBackslash)                                                                                          \
    X(TargetFaultNoFile)                                                                                               \
    X(TargetFaultSecondMacro)                                                                                          \
    X(TargetFaultUnplain)                                                                                              \
    X(ProductNameFaultUnplain)                                                                                         \
    X(ProductNameFaultMacro)                                                                                           \
    X(WebsiteShortcutFault)                                                                                            \
    X(ShortcutFault)                                                                                                   \
    X(MessageLinkOnTheWay)                                                                                             \
    X(MessageFolderNotOpenable)                                                                                        \
    X(MessageUnusableProgramFolder)                                                                                    \
    X(MessageUnusableStartMenuFolder)                                                                                  \
    X(MessageUnusableSettingsFolder)                                                                                   \
    X(MessageMacroFolderUnknown)                                                                                       \
    X(MessageMacroFolderUnplain)                                                                                       \
    X(MessageMacroFolderOutside)                                                                                       \
    X(UninstallFaultUnplain)                                                                                           \
    X(UninstallFaultLink)                                                                                              \
    X(UninstallFaultUnopenable)                                                                                        \
    X(SwitchNotASwitch)                                                                                                \
    X(SwitchUnknown)                                                                                                   \
    X(SwitchNotForUninstaller)                                                                                         \
    X(SwitchNeedsValue)                                                                                                \
    X(SwitchTakesNoValue)                                                                                              \
    X(TerminalsNotFullPath)                                                                                            \
    X(TerminalsNotPlainFolder)                                                                                         \
    X(TerminalsNoFolder)                                                                                               \
    X(LangUnknown)                                                                                                     \
    X(LogCannotBeMade)                                                                                                 \
    X(SwitchesSeeHelp)                                                                                                 \
    X(HelpSilent)                                                                                                      \
    X(HelpVerySilent)                                                                                                  \
    X(HelpSuppressMsgBoxes)                                                                                            \
    X(HelpCurrentUser)                                                                                                 \
    X(HelpTerminals)                                                                                                   \
    X(HelpLog)                                                                                                         \
    X(HelpLang)                                                                                                        \
    X(HelpHelp)                                                                                                        \
    X(HelpExitCodes)                                                                                                   \
    X(ExitDone)                                                                                                        \
    X(ExitFailed)                                                                                                      \
    X(ExitCancelled)                                                                                                   \
    X(ExitTerminalRunning)                                                                                             \
    X(ExitDamaged)                                                                                                     \
    X(ExitBadCommandLine)                                                                                              \
    X(MessageNoUserProgramsFolder)                                                                                     \
    X(MessageNoUserStartMenuFolder)

namespace qe {

enum class TText : size_t {
#define QE_TEXT_ENUM(Name) Name,
    QE_TEXT_IDS(QE_TEXT_ENUM)
#undef QE_TEXT_ENUM
};

#define QE_TEXT_COUNT(Name) +1
constexpr size_t TextCount = 0 QE_TEXT_IDS(QE_TEXT_COUNT);
#undef QE_TEXT_COUNT

// The name of a text as its line in a language file starts.
const char* TextName(TText Id);

} // namespace qe
