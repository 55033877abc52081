// A simulated machine with an installer in its downloads folder and the wizard's logic
// over stand-in controls, with ways to walk its pages and read what it shows.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/FormInstaller.h"
#include "tests/app/FakeControls.h"
#include "tests/engine/EngineFixture.h"

namespace qe::test {

class WizardTest : public EngineTest {
protected:
    static constexpr const char* ProgramFiles = sim::TSimPlatform::ProgramFiles;

    WizardTest()
    {
        Contents.MajorVersion = 2;
        Contents.MinorVersion = 5;
        Contents.License = "{\\rtf1 License}";
        Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\GridExpert.mq4", "expert"));
        Contents.Files.push_back(MemoryFile("{app}\\Manual.txt", "manual"));
    }

    // Writes the installer to Path and starts the wizard from it.
    TFormInstaller& Start(const std::string& Path = sim::TSimPlatform::ExePath)
    {
        WriteInstallerFile(Path);
        return Open(Path);
    }

    // Starts the wizard from the program file at Path, in a fresh window.
    TFormInstaller& Open(const std::string& Path)
    {
        M.FileSystem.SetExecutablePath(Path);
        Form.reset();
        W = std::make_unique<TFakeWizard>();
        Form = std::make_unique<TFormInstaller>(Platform(), W->C, Options, &Log);
        Form->FormCreate();
        return *Form;
    }

    // The page in front, by the name its title gives it.
    std::string Page() const
    {
        const std::map<const IPanel*, std::string> Names = {
            {&W->PanelInfo, "Information"}, {&W->PanelLicense, "License"},   {&W->PanelFolder, "Folder"},
            {&W->PanelReady, "Ready"},      {&W->PanelProgress, "Progress"}, {&W->PanelNews, "What's New"},
        };
        if (W->PageInFront == &W->PanelStart)
            return W->ContentInFront == &W->PanelFinish ? "Finish" : "Welcome";
        auto It = Names.find(W->PageInFront);
        return It == Names.end() ? "(none)" : It->second;
    }

    // The page with the state of the three buttons: "+" enabled, "-" disabled.
    std::string Screen() const
    {
        auto State = [](const IButton& B) { return std::string(B.Enabled() ? "+" : "-"); };
        return Page() + " " + State(W->BtnPrev) + "Prev " + State(W->BtnNext) + "Next " + State(W->BtnCancel) +
               W->BtnCancel.Caption();
    }

    // Presses Next until the page named Target is in front, accepting the licence on
    // the way; every screen passed is recorded.
    std::vector<std::string> NextUntil(const std::string& Target)
    {
        std::vector<std::string> Screens;
        for (int Guard = 0; Guard < 10 && Page() != Target; ++Guard) {
            if (Page() == "License" && !W->RadioAccept.Checked()) {
                Screens.push_back(Screen());
                Accept(true);
            }
            Screens.push_back(Screen());
            Form->BtnNextClick();
        }
        Screens.push_back(Screen());
        return Screens;
    }

    void Accept(bool Accept)
    {
        W->SelectAccept(Accept);
        Form->RadioAcceptClick();
    }

    // The switches and the log of the wizards Open starts.
    TCommandLine Options;
    TSetupLog Log{M.Platform()};
    std::unique_ptr<TFakeWizard> W;
    std::unique_ptr<TFormInstaller> Form;
};

} // namespace qe::test
