#include "app/CommandLine.h"

#include <cctype>

#include "app/ExitCodes.h"
#include "language/Languages.h"
#include "package/TargetPaths.h"
#include "platform/Paths.h"

namespace qe {
namespace {

struct TSwitch {
    const char* Name;    // in capitals
    const char* Example; // of a value; null for a switch without one
    bool InstallerOnly;
};

const TSwitch Switches[] = {
    {"SILENT", nullptr, false},
    {"VERYSILENT", nullptr, false},
    {"SUPPRESSMSGBOXES", nullptr, false},
    {"CURRENTUSER", nullptr, true},
    {"TERMINALS", "\"C:\\Program Files\\MetaTrader 4;D:\\Trading\\MT4\"", true},
    {"LOG", "\"C:\\Logs\\setup.log\"", false},
    {"LANG", "de", false},
    {"?", nullptr, false},
};

bool IsBlank(char C)
{
    return C == ' ' || C == '\t';
}

// The arguments of Line, each with the offset it begins at.
std::vector<std::pair<size_t, std::string>> Split(const std::string& Line)
{
    std::vector<std::pair<size_t, std::string>> Arguments;
    for (size_t I = 0;;) {
        while (I < Line.size() && IsBlank(Line[I]))
            ++I;
        if (I >= Line.size())
            return Arguments;
        const size_t Start = I;
        std::string Argument;
        for (bool Quoted = false; I < Line.size() && (Quoted || !IsBlank(Line[I])); ++I) {
            if (Line[I] == '"')
                Quoted = !Quoted;
            else
                Argument += Line[I];
        }
        Arguments.emplace_back(Start, Argument);
    }
}

// "X:\..." or "\\server\share...".
bool IsFullPath(const std::string& Path)
{
    const bool Drive = Path.size() >= 3 && std::isalpha(static_cast<unsigned char>(Path[0])) && Path[1] == ':' &&
                       Path[2] == PathDelimiter;
    const bool Share = Path.size() > 2 && Path.rfind("\\\\", 0) == 0 && Path[2] != PathDelimiter;
    return Drive || Share;
}

// The folders of a /TERMINALS= value, without blanks around them, trailing "\" and
// repetitions; "" in Error for a value that names no folder or one that is no full path.
std::vector<std::string> TerminalFolders(const std::string& Value, std::string& Error)
{
    std::vector<std::string> Folders;
    size_t Start = 0;
    while (Start <= Value.size()) {
        size_t End = Value.find(';', Start);
        if (End == std::string::npos)
            End = Value.size();
        std::string Folder = Trim(Value.substr(Start, End - Start));
        Start = End + 1;
        for (char& C : Folder)
            if (C == '/')
                C = PathDelimiter;
        if (Folder.empty())
            continue;
        if (!IsFullPath(Folder)) {
            Error = "/TERMINALS=: \"" + Folder + "\" is not a full path such as C:\\Trading\\MT4.";
            return {};
        }
        while (Folder.size() > 3 && Folder.back() == PathDelimiter)
            Folder.pop_back();
        // The install writes only into plain local folders; better said now than half way.
        if (const auto Fault = Folder.size() > 3 ? PlainPathFault(Folder) : std::nullopt) {
            Error = "/TERMINALS=: \"" + Folder + "\" is no plain local folder: " + *Fault + ".";
            return {};
        }
        bool Known = false;
        for (const std::string& Other : Folders)
            Known |= SameText(Other, Folder);
        if (!Known)
            Folders.push_back(Folder);
    }
    if (Folders.empty())
        Error = "/TERMINALS= names no folder.";
    return Folders;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& Line)
{
    std::vector<std::string> Arguments;
    for (auto& [Start, Argument] : Split(Line))
        Arguments.push_back(std::move(Argument));
    return Arguments;
}

TCommandLine ParseCommandLine(const std::string& Line, bool Uninstaller)
{
    TCommandLine Result;
    const auto Arguments = Split(Line);
    if (Arguments.size() > 1)
        Result.Arguments = Trim(Line.substr(Arguments[1].first));
    const auto Fail = [&Result](const std::string& Message) {
        if (Result.Error.empty())
            Result.Error = Message;
    };
    for (size_t I = 1; I < Arguments.size(); ++I) {
        const std::string& Argument = Arguments[I].second;
        if (Argument.empty())
            continue;
        if (Argument[0] != '/' && Argument[0] != '-') {
            Fail("\"" + Argument + "\" is not a switch; switches begin with \"/\".");
            continue;
        }
        const size_t Equals = Argument.find('=');
        const std::string Name = UpperCase(Argument.substr(1, Equals == std::string::npos ? Equals : Equals - 1));
        const bool HasValue = Equals != std::string::npos;
        const std::string Value = HasValue ? Argument.substr(Equals + 1) : std::string();
        const TSwitch* Switch = nullptr;
        for (const TSwitch& Known : Switches)
            if (Name == Known.Name)
                Switch = &Known;
        if (Switch == nullptr) {
            Fail("Unknown switch \"" + Argument + "\".");
            continue;
        }
        if (Switch->InstallerOnly && Uninstaller) {
            Fail("Uninstall.exe takes no switch /" + Name + ".");
            continue;
        }
        if (Switch->Example != nullptr && Value.empty()) {
            Fail("The switch /" + Name + " needs a value: /" + Name + "=" + Switch->Example + ".");
            continue;
        }
        if (Switch->Example == nullptr && HasValue) {
            Fail("The switch /" + Name + " takes no value.");
            continue;
        }
        if (Name == "SILENT") {
            if (Result.Mode == TUiMode::Wizard)
                Result.Mode = TUiMode::Silent;
        } else if (Name == "VERYSILENT") {
            Result.Mode = TUiMode::VerySilent;
        } else if (Name == "SUPPRESSMSGBOXES") {
            Result.SuppressMessageBoxes = true;
        } else if (Name == "CURRENTUSER") {
            Result.CurrentUser = true;
        } else if (Name == "TERMINALS") {
            std::string Error;
            Result.Terminals = TerminalFolders(Value, Error);
            if (!Error.empty()) {
                Result.Terminals.reset();
                Fail(Error);
            }
        } else if (Name == "LOG") {
            Result.LogFile = Value;
        } else if (Name == "LANG") {
            // A language the program has, in its own spelling; whether the vendor offers it
            // is the package's to say.
            if (const TLanguageFile* Language = FindLanguageFile(Value))
                Result.Language = Language->Code;
            else
                Fail("/LANG=: \"" + Value + "\" is not one of the installer's languages, " + LanguageCodes() + ".");
        } else {
            Result.Help = true;
        }
    }
    return Result;
}

std::string CommandLineHelp(const std::string& Program, bool Uninstaller)
{
    // Short lines: a message box wraps a long one wherever it likes.
    std::string Text = Program + " [/SILENT | /VERYSILENT]\r    [/SUPPRESSMSGBOXES]" +
                       (Uninstaller ? " [/LOG=\"file\"] [/LANG=xx]\r\r"
                                    : " [/CURRENTUSER]\r    [/TERMINALS=\"folder;folder\"] [/LOG=\"file\"]\r"
                                      "    [/LANG=xx]\r\r");
    Text += "/SILENT: no questions; the progress is shown and the window closes itself.\r"
            "/VERYSILENT: no window at all.\r"
            "/SUPPRESSMSGBOXES: every message box is answered with its default.\r";
    if (!Uninstaller)
        Text += "/CURRENTUSER: install for the current user only.\r"
                "/TERMINALS=\"C:\\a;D:\\b\": these terminal folders instead of those found.\r";
    Text += "/LOG=\"file\": every step, decision and the result, in UTF-8.\r"
            "/LANG=xx: the wizard's language, one of\r    " +
            LanguageCodes() +
            ",\r    where the product offers it.\r"
            "/?: this list.\r\rExit codes:\r";
    for (int Code = ecDone; Code <= ecBadCommandLine; ++Code)
        Text += std::to_string(Code) + ": " + ExitCodeMeaning(Code) + "\r";
    return Text;
}

} // namespace qe
