#include "app/SetupRun.h"

#include "app/ExitCodes.h"
#include "app/FormInstaller.h"
#include "app/HeadlessControls.h"
#include "package/ModelLoader.h"
#include "platform/Paths.h"

namespace qe {

std::optional<int> StartSetup(const TPlatform& Platform, const std::string& CommandLine, TCommandLine& Options,
                              TSetupLog& Log, const TMessageBoxFunction& MessageBox)
{
    const std::string Program = Platform.FileSystem->ExecutablePath();
    const bool Uninstaller = IsUninstallerName(Program);
    Options = ParseCommandLine(CommandLine, Uninstaller);
    std::string Error = Options.Error;
    if (!Options.LogFile.empty()) {
        try {
            Log.Open(Options.LogFile);
        } catch (const std::exception& Failure) {
            if (Error.empty())
                Error = std::string("The log cannot be made. ") + Failure.what();
        }
    }
    if (!Error.empty() || Options.Help) {
        Log.Add("Started: " + Program + " " + Options.Arguments);
        if (!Error.empty())
            Log.Add("Error: " + Error);
        Log.AddResult(Error.empty() ? ecDone : ecBadCommandLine);
    }
    if (!Error.empty()) {
        if (!Options.Quiet())
            MessageBox(Error + "\r\rRun " + ExtractFileName(Program) + " /? for the list of switches.", "Error",
                       TMessageIcon::Error);
        return ecBadCommandLine;
    }
    if (Options.Help) {
        // Asked for, so shown even with /VERYSILENT.
        MessageBox(CommandLineHelp(ExtractFileName(Program), Uninstaller), ExtractFileName(Program),
                   TMessageIcon::Information);
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
