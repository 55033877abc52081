#include "app/SetupRun.h"

#include "app/ExitCodes.h"
#include "app/FormInstaller.h"
#include "app/HeadlessControls.h"
#include "engine/PathMacros.h"
#include "package/ModelLoader.h"
#include "platform/Paths.h"

namespace qe {

std::optional<int> StartSetup(const TPlatform& Platform, const std::string& CommandLine, TCommandLine& Options,
                              TSetupLog& Log, const TMessageBoxFunction& MessageBox)
{
    const std::string Program = Platform.FileSystem->ExecutablePath();
    const bool Uninstaller = IsUninstallerName(Program);
    Options = ParseCommandLine(CommandLine, Uninstaller);
    // The boxes speak as the wizard would: /LANG= where it was understood, else the display
    // language. The log stays in English.
    const TTextTable Texts = LoadTexts(ChooseLanguage({Options.Language, "", Platform.System->DisplayLanguage(), {}}));
    std::string Error = Options.Error;
    std::string Shown = Error.empty() ? std::string() : ParseCommandLine(CommandLine, Uninstaller, Texts).Error;
    if (!Options.LogFile.empty()) {
        try {
            Log.Open(Options.LogFile);
        } catch (const std::exception& Failure) {
            if (Error.empty()) {
                Error = EnglishTexts().Format(TText::LogCannotBeMade, {Failure.what()});
                const auto* Link = dynamic_cast<const ELinkOnTheWay*>(&Failure);
                Shown = Texts.Format(TText::LogCannotBeMade,
                                     {Link ? LinkOnTheWayMessage(Link->Way(), Texts) : std::string(Failure.what())});
            }
        }
    }
    if (!Error.empty() || Options.Help) {
        Log.Add("Started: " + Program + " " + Options.Arguments);
        if (!Error.empty())
            Log.Add("Error: " + Error);
        Log.AddResult(Error.empty() ? ecDone : ecBadCommandLine);
    }
    const std::string Name = ExtractFileName(Program);
    if (!Error.empty()) {
        if (!Options.Quiet())
            MessageBox(Shown + "\r\r" + Texts.Format(TText::SwitchesSeeHelp, {Name}), Texts.Format(TText::CaptionError),
                       TMessageIcon::Error);
        return ecBadCommandLine;
    }
    if (Options.Help) {
        // Asked for, so shown even with /VERYSILENT.
        MessageBox(CommandLineHelp(Name, Uninstaller, Texts), Name, TMessageIcon::Information);
        return ecDone;
    }
    return std::nullopt;
}

int RunWithoutWindow(const TPlatform& Platform, const TCommandLine& Options, TSetupLog& Log)
{
    THeadlessWizard Controls;
    TFormInstaller Form(Platform, Controls.C, Options, &Log);
    try {
        Form.FormCreate();
        Form.RunSilently();
    } catch (const std::exception&) {
        // Its exit code is set and its message logged; there is no one to show it to.
    }
    Form.FormDestroy();
    Log.AddResult(Form.ExitCode());
    return Form.ExitCode();
}

} // namespace qe
