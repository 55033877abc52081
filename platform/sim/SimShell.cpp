#include "platform/sim/SimShell.h"

#include "platform/Exceptions.h"
#include "platform/ShellLink.h"

namespace qe::sim {
namespace {

const char* const LinkHeader = "[SimShellLink]\r\n";

// Reads the value of "Name=" in the link text; "" when it is missing.
std::string Field(const std::string& Text, const std::string& Name)
{
    const std::string Start = "\r\n" + Name + "=";
    const size_t At = Text.find(Start);
    if (At == std::string::npos)
        return {};
    const size_t From = At + Start.size();
    return Text.substr(From, Text.find("\r\n", From) - From);
}

} // namespace

void TSimShell::SaveLink(const TShellLink& Link, const std::string& FileName)
{
    std::string Text = LinkHeader;
    Text += "Path=" + Link.Path + "\r\n";
    Text += "WorkingDirectory=" + Link.WorkingDirectory + "\r\n";
    Text += "Arguments=" + Link.Arguments + "\r\n";
    Text += "Description=" + Link.Description + "\r\n";
    Text += "IconLocation=" + Link.IconLocation + "\r\n";
    Text += "IconIndex=" + std::to_string(Link.IconIndex) + "\r\n";
    Text += "ShowCmd=" + std::to_string(Link.ShowCmd) + "\r\n";
    Text += "Hotkey=" + std::to_string(Link.Hotkey) + "\r\n";
    // The shell reports nothing when it cannot write the link.
    try {
        auto Stream = FFileSystem->CreateForWriting(FileName);
        Stream->WriteString(Text);
        Stream->Flush();
    } catch (const EStreamError&) {
    }
}

bool TSimShell::ReadLink(const std::string& FileName, TShellLinkData& Data)
{
    std::string Text;
    try {
        Text = FFileSystem->FileContents(FileName);
    } catch (const Exception&) {
        return false;
    }
    if (Text.rfind(LinkHeader, 0) != 0)
        return false;
    Text = "\r\n" + Text;
    Data.Path = Field(Text, "Path");
    Data.WorkingDirectory = Field(Text, "WorkingDirectory");
    Data.Arguments = Field(Text, "Arguments");
    Data.Description = Field(Text, "Description");
    return true;
}

bool TSimShell::ShellOpen(const std::string& FileOrLink)
{
    if (!CanOpen(FileOrLink))
        return false;
    FOpened.push_back(FileOrLink);
    return true;
}

bool TSimShell::OpenAsUser(const std::string& FileOrLink)
{
    if (!FDesktopShell || !CanOpen(FileOrLink))
        return false;
    FOpenedAsUser.push_back(FileOrLink);
    return true;
}

bool TSimShell::CanOpen(const std::string& FileOrLink)
{
    const size_t Colon = FileOrLink.find(':');
    const bool IsLinkText = Colon != std::string::npos && Colon > 1;
    return IsLinkText || FFileSystem->FileExists(FileOrLink);
}

TFolderPick TSimShell::ChooseFolder(const std::string& Caption, std::string& Folder)
{
    if (!FFileSystem->FolderExists(Folder))
        Folder.clear();
    FFolderChoices.push_back({Caption, Folder});
    if (FAnswers.empty())
        return TFolderPick::fpCancelled;
    const TAnswer Answer = FAnswers.front();
    FAnswers.pop_front();
    if (Answer.Pick != TFolderPick::fpCancelled)
        Folder = Answer.Folder;
    return Answer.Pick;
}

void TSimShell::AnswerFolderChoice(bool Confirm, const std::string& Folder)
{
    FAnswers.push_back({Confirm ? TFolderPick::fpFolder : TFolderPick::fpCancelled, Folder});
}

void TSimShell::AnswerFolderChoiceWithoutPath(const std::string& DisplayName)
{
    FAnswers.push_back({TFolderPick::fpNoFileSystemPath, DisplayName});
}

} // namespace qe::sim
