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
std::vector<std::string> TerminalFolders(const std::string& Value, const TTextTable& Texts, std::string& Error)
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
            Error = Texts.Format(TText::TerminalsNotFullPath, {Folder});
            return {};
        }
        while (Folder.size() > 3 && Folder.back() == PathDelimiter)
            Folder.pop_back();
        // The install writes only into plain local folders; better said now than half way.
        if (const auto Fault = Folder.size() > 3 ? PlainPathFault(Folder, Texts) : std::nullopt) {
            Error = Texts.Format(TText::TerminalsNotPlainFolder, {Folder, *Fault});
            return {};
        }
        bool Known = false;
        for (const std::string& Other : Folders)
            Known |= SameText(Other, Folder);
        if (!Known)
            Folders.push_back(Folder);
    }
    if (Folders.empty())
        Error = Texts.Format(TText::TerminalsNoFolder);
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

TCommandLine ParseCommandLine(const std::string& Line, bool Uninstaller, const TTextTable& Texts)
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
            Fail(Texts.Format(TText::SwitchNotASwitch, {Argument}));
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
            Fail(Texts.Format(TText::SwitchUnknown, {Argument}));
            continue;
        }
        if (Switch->InstallerOnly && Uninstaller) {
            Fail(Texts.Format(TText::SwitchNotForUninstaller, {Name}));
            continue;
        }
        if (Switch->Example != nullptr && Value.empty()) {
            Fail(Texts.Format(TText::SwitchNeedsValue, {Name, Switch->Example}));
            continue;
        }
        if (Switch->Example == nullptr && HasValue) {
            Fail(Texts.Format(TText::SwitchTakesNoValue, {Name}));
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
            Result.Terminals = TerminalFolders(Value, Texts, Error);
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
                Fail(Texts.Format(TText::LangUnknown, {Value, LanguageCodes()}));
        } else {
            Result.Help = true;
        }
    }
    return Result;
}

std::string CommandLineHelp(const std::string& Program, bool Uninstaller, const TTextTable& Texts)
{
    // Short lines: a message box wraps a long one wherever it likes. The switches and
    // their examples are typed as they stand, in every language.
    std::string Text = Program + " [/SILENT | /VERYSILENT]\r    [/SUPPRESSMSGBOXES]" +
                       (Uninstaller ? " [/LOG=\"file\"] [/LANG=xx]\r\r"
                                    : " [/CURRENTUSER]\r    [/TERMINALS=\"folder;folder\"] [/LOG=\"file\"]\r"
                                      "    [/LANG=xx]\r\r");
    const auto Line = [&Text, &Texts](const char* Switch, TText Meaning, std::initializer_list<std::string_view> Args) {
        Text += std::string(Switch) + ": " + Texts.Format(Meaning, Args) + "\r";
    };
    Line("/SILENT", TText::HelpSilent, {});
    Line("/VERYSILENT", TText::HelpVerySilent, {});
    Line("/SUPPRESSMSGBOXES", TText::HelpSuppressMsgBoxes, {});
    if (!Uninstaller) {
        Line("/CURRENTUSER", TText::HelpCurrentUser, {});
        Line("/TERMINALS=\"C:\\a;D:\\b\"", TText::HelpTerminals, {});
    }
    Line("/LOG=\"file\"", TText::HelpLog, {});
    Line("/LANG=xx", TText::HelpLang, {LanguageCodes()});
    Line("/?", TText::HelpHelp, {});
    Text += "\r" + Texts.Format(TText::HelpExitCodes) + "\r";
    for (int Code = ecDone; Code <= ecBadCommandLine; ++Code)
        Text += std::to_string(Code) + ": " + ExitCodeMeaning(Code, Texts) + "\r";
    return Text;
}

} // namespace qe
