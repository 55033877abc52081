#include "e2e/wizard/Driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>

#include "platform/win32/Win32Text.h"

namespace e2e {

using qe::win32::Utf8;
using qe::win32::Wide;

namespace {

// Long enough for a loaded machine; a window that hangs longer is a fault of its own.
const UINT MessageTimeoutMs = 10000;

LRESULT Send(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    DWORD_PTR Result = 0;
    if (!SendMessageTimeoutW(Window, Message, WParam, LParam, SMTO_BLOCK, MessageTimeoutMs, &Result))
        throw TFailure("the window " + WindowClass(Window) + " \"" + WindowText(Window) +
                       "\" does not answer message " + std::to_string(Message));
    return static_cast<LRESULT>(Result);
}

// Texts travel as UTF-16, the program's windows' own, and the driver reads them as UTF-8,
// as the program keeps them.

// The text of a list box or combo box item, by the control's "length" and "text" messages.
std::string ItemText(HWND Control, UINT LengthMessage, UINT TextMessage, LRESULT Index)
{
    DWORD_PTR Length = 0;
    if (!SendMessageTimeoutW(Control, LengthMessage, Index, 0, SMTO_BLOCK, MessageTimeoutMs, &Length) ||
        static_cast<LRESULT>(Length) < 0)
        throw TFailure("cannot read item " + std::to_string(Index) + " of control " +
                       std::to_string(GetDlgCtrlID(Control)));
    std::wstring Text(Length + 1, L'\0');
    DWORD_PTR Copied = 0;
    SendMessageTimeoutW(Control, TextMessage, Index, reinterpret_cast<LPARAM>(Text.data()), SMTO_BLOCK,
                        MessageTimeoutMs, &Copied);
    Text.resize(static_cast<LRESULT>(Copied) < 0 ? 0 : std::min<size_t>(Copied, Length));
    return Utf8(Text);
}

// The visible top-level windows of one process, until Visit returns true.
struct TTopWindowSearch {
    DWORD ProcessId;
    const std::function<bool(HWND)>* Visit;
};

BOOL CALLBACK VisitTopWindow(HWND Window, LPARAM Param)
{
    auto* Search = reinterpret_cast<TTopWindowSearch*>(Param);
    DWORD Owner = 0;
    GetWindowThreadProcessId(Window, &Owner);
    if (Owner != Search->ProcessId || !IsWindowVisible(Window))
        return TRUE;
    return (*Search->Visit)(Window) ? FALSE : TRUE;
}

void ForEachTopWindow(DWORD ProcessId, const std::function<bool(HWND)>& Visit)
{
    TTopWindowSearch Search{ProcessId, &Visit};
    EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&Search));
}

BOOL CALLBACK CollectWindow(HWND Window, LPARAM Param)
{
    reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
    return TRUE;
}

std::vector<HWND> Descendants(HWND Window)
{
    std::vector<HWND> Found;
    EnumChildWindows(Window, CollectWindow, reinterpret_cast<LPARAM>(&Found));
    return Found;
}

HWND DescendantOfClass(HWND Window, const std::string& ClassName)
{
    for (HWND Child : Descendants(Window))
        if (WindowClass(Child) == ClassName)
            return Child;
    return nullptr;
}

// Memory inside another process, for messages whose argument is a pointer.
class TRemoteBuffer {
public:
    TRemoteBuffer(DWORD ProcessId, SIZE_T Size)
    {
        FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessId);
        Check(FProcess != nullptr, "cannot open the process " + std::to_string(ProcessId));
        FAddress = static_cast<char*>(VirtualAllocEx(FProcess, nullptr, Size, MEM_COMMIT, PAGE_READWRITE));
        Check(FAddress != nullptr, "cannot allocate memory in the process");
    }
    ~TRemoteBuffer()
    {
        VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
        CloseHandle(FProcess);
    }
    TRemoteBuffer(const TRemoteBuffer&) = delete;
    TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;

    char* Address() const { return FAddress; }
    void Write(SIZE_T Offset, const void* Data, SIZE_T Size)
    {
        Check(WriteProcessMemory(FProcess, FAddress + Offset, Data, Size, nullptr),
              "cannot write the process's memory");
    }
    void Read(SIZE_T Offset, void* Data, SIZE_T Size)
    {
        Check(ReadProcessMemory(FProcess, FAddress + Offset, Data, Size, nullptr), "cannot read the process's memory");
    }

private:
    HANDLE FProcess = nullptr;
    char* FAddress = nullptr;
};

std::string TreeItemText(HWND Tree, HTREEITEM Item)
{
    DWORD ProcessId = 0;
    GetWindowThreadProcessId(Tree, &ProcessId);
    const SIZE_T TextSize = MAX_PATH;
    TRemoteBuffer Remote(ProcessId, sizeof(TVITEMW) + TextSize * sizeof(wchar_t));
    TVITEMW Query{};
    Query.mask = TVIF_TEXT | TVIF_HANDLE;
    Query.hItem = Item;
    Query.pszText = reinterpret_cast<wchar_t*>(Remote.Address() + sizeof(TVITEMW));
    Query.cchTextMax = TextSize;
    Remote.Write(0, &Query, sizeof Query);
    if (!Send(Tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(Remote.Address())))
        return "";
    wchar_t Text[MAX_PATH] = {};
    Remote.Read(sizeof(TVITEMW), Text, (TextSize - 1) * sizeof(wchar_t));
    return Utf8(Text);
}

bool WriteBmp(const std::string& Path, int Width, int Height, const void* Bits)
{
    BITMAPINFOHEADER Header{};
    Header.biSize = sizeof Header;
    Header.biWidth = Width;
    Header.biHeight = Height;
    Header.biPlanes = 1;
    Header.biBitCount = 24;
    Header.biCompression = BI_RGB;
    const DWORD Stride = (Width * 3 + 3) & ~3;
    BITMAPFILEHEADER File{};
    File.bfType = 0x4D42;
    File.bfOffBits = sizeof File + sizeof Header;
    File.bfSize = File.bfOffBits + Stride * Height;
    std::unique_ptr<FILE, int (*)(FILE*)> Out(std::fopen(Path.c_str(), "wb"), std::fclose);
    return Out && std::fwrite(&File, sizeof File, 1, Out.get()) == 1 &&
           std::fwrite(&Header, sizeof Header, 1, Out.get()) == 1 &&
           std::fwrite(Bits, Stride * Height, 1, Out.get()) == 1;
}

} // namespace

std::string QuoteLines(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (const std::string& Line : Lines)
        Text += "    [" + Line + "]\n";
    return Text;
}

void Check(bool Condition, const std::string& What)
{
    if (!Condition)
        throw TFailure(What);
}

void CheckEq(const std::string& Got, const std::string& Expected, const std::string& What)
{
    if (Got != Expected)
        throw TFailure(What + ": expected [" + Expected + "], got [" + Got + "]");
}

void CheckLines(const std::vector<std::string>& Got, const std::vector<std::string>& Expected, const std::string& What)
{
    if (Got != Expected)
        throw TFailure(What + ": expected\n" + QuoteLines(Expected) + "  got\n" + QuoteLines(Got));
}

void Step(const std::string& Text)
{
    std::printf("  %s\n", Text.c_str());
    std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& Condition, DWORD TimeoutMs)
{
    const DWORD Start = GetTickCount();
    for (;;) {
        if (Condition())
            return true;
        if (GetTickCount() - Start >= TimeoutMs)
            return false;
        Sleep(50);
    }
}

TProgram::TProgram(const std::string& Path, const std::string& Folder, const std::string& Arguments, bool Limited)
{
    std::wstring CommandLine = Wide("\"" + Path + "\"" + (Arguments.empty() ? "" : " " + Arguments));
    const std::wstring Program = Wide(Path);
    const std::wstring Folder16 = Wide(Folder);
    STARTUPINFOW Startup{};
    Startup.cb = sizeof Startup;
    const wchar_t* Current = Folder.empty() ? nullptr : Folder16.c_str();
    if (!Limited) {
        Check(CreateProcessW(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Current,
                             &Startup, &FInfo),
              "cannot start " + Path + " (error " + std::to_string(GetLastError()) + ")");
        return;
    }
    HANDLE Token = nullptr;
    TOKEN_LINKED_TOKEN Linked{};
    DWORD Size = 0;
    Check(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token) &&
              GetTokenInformation(Token, TokenLinkedToken, &Linked, sizeof(Linked), &Size),
          "the driver's token has no limited token linked to it");
    CloseHandle(Token);
    const BOOL Started = CreateProcessAsUserW(Linked.LinkedToken, Program.c_str(), CommandLine.data(), nullptr, nullptr,
                                              FALSE, 0, nullptr, Current, &Startup, &FInfo);
    const DWORD Error = GetLastError();
    CloseHandle(Linked.LinkedToken);
    Check(Started, "cannot start " + Path + " with a limited token (error " + std::to_string(Error) + ")");
}

TProgram::~TProgram()
{
    if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(FInfo.hProcess, 1);
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
}

bool TProgram::WaitForExit(DWORD TimeoutMs) const
{
    return WaitForSingleObject(FInfo.hProcess, TimeoutMs) == WAIT_OBJECT_0;
}

DWORD TProgram::ExitCode() const
{
    DWORD Code = STILL_ACTIVE;
    GetExitCodeProcess(FInfo.hProcess, &Code);
    return Code;
}

std::vector<std::string> WindowsOf(DWORD ProcessId)
{
    std::vector<HWND> All;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&All));
    std::vector<std::string> Windows;
    for (HWND Window : All) {
        DWORD Owner = 0;
        GetWindowThreadProcessId(Window, &Owner);
        if (Owner == ProcessId)
            Windows.push_back(WindowClass(Window) + " \"" + WindowText(Window) + "\"" +
                              (IsWindowVisible(Window) ? " (visible)" : ""));
    }
    return Windows;
}

HWND FindTopWindow(DWORD ProcessId, const std::string& Caption)
{
    HWND Found = nullptr;
    ForEachTopWindow(ProcessId, [&](HWND Window) {
        if (WindowText(Window) != Caption)
            return false;
        Found = Window;
        return true;
    });
    return Found;
}

HWND WaitForTopWindow(DWORD ProcessId, const std::string& Caption, DWORD TimeoutMs)
{
    HWND Found = nullptr;
    WaitFor([&] { return (Found = FindTopWindow(ProcessId, Caption)) != nullptr; }, TimeoutMs);
    Check(Found != nullptr,
          "no window captioned \"" + Caption + "\" within " + std::to_string(TimeoutMs / 1000) + " s");
    return Found;
}

std::string WindowText(HWND Window)
{
    DWORD_PTR Length = 0;
    if (!SendMessageTimeoutW(Window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, MessageTimeoutMs, &Length))
        return "";
    std::wstring Text(Length + 1, L'\0');
    DWORD_PTR Copied = 0;
    SendMessageTimeoutW(Window, WM_GETTEXT, Text.size(), reinterpret_cast<LPARAM>(Text.data()), SMTO_BLOCK,
                        MessageTimeoutMs, &Copied);
    Text.resize(std::min<size_t>(Copied, Length));
    return Utf8(Text);
}

std::string WindowClass(HWND Window)
{
    wchar_t Name[256] = {};
    GetClassNameW(Window, Name, static_cast<int>(std::size(Name)));
    return Utf8(Name);
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::string Line;
    for (size_t I = 0; I < Text.size(); ++I) {
        const char C = Text[I];
        if (C != '\r' && C != '\n') {
            Line += C;
            continue;
        }
        if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
            ++I;
        Lines.push_back(Line);
        Line.clear();
    }
    if (!Line.empty())
        Lines.push_back(Line);
    return Lines;
}

HWND TWindow::Control(int Id) const
{
    for (HWND Child : Descendants(FHandle))
        if (GetDlgCtrlID(Child) == Id)
            return Child;
    throw TFailure("the window has no control with id " + std::to_string(Id));
}

std::string TWindow::Text(int Id) const
{
    return WindowText(Control(Id));
}

bool TWindow::Enabled(int Id) const
{
    return IsWindowEnabled(Control(Id)) != FALSE;
}

bool TWindow::Visible(int Id) const
{
    return IsWindowVisible(Control(Id)) != FALSE;
}

bool TWindow::Checked(int Id) const
{
    return Send(Control(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TWindow::Click(int Id) const
{
    Check(PostMessageW(Control(Id), BM_CLICK, 0, 0), "cannot post a click to control " + std::to_string(Id));
}

std::vector<std::pair<std::string, LRESULT>> TWindow::ListItems(int Id) const
{
    const HWND List = Control(Id);
    std::vector<std::pair<std::string, LRESULT>> Items;
    const LRESULT Count = Send(List, LB_GETCOUNT, 0, 0);
    for (LRESULT I = 0; I < Count; ++I)
        Items.emplace_back(ItemText(List, LB_GETTEXTLEN, LB_GETTEXT, I), Send(List, LB_GETITEMDATA, I, 0));
    return Items;
}

std::vector<std::string> TWindow::ComboItems(int Id) const
{
    const HWND Combo = Control(Id);
    std::vector<std::string> Items;
    const LRESULT Count = Send(Combo, CB_GETCOUNT, 0, 0);
    for (LRESULT I = 0; I < Count; ++I)
        Items.push_back(ItemText(Combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, I));
    return Items;
}

int TWindow::ComboSelection(int Id) const
{
    return static_cast<int>(Send(Control(Id), CB_GETCURSEL, 0, 0));
}

int TWindow::ProgressPosition(int Id) const
{
    return static_cast<int>(Send(Control(Id), PBM_GETPOS, 0, 0));
}

void TWindow::ScrollToTop(int Id) const
{
    Send(Control(Id), WM_VSCROLL, SB_TOP, 0);
}

int TWindow::FrontPanel(const std::vector<int>& PanelIds) const
{
    int Front = 0;
    int FrontDepth = 0;
    for (int Id : PanelIds) {
        const HWND Panel = Control(Id);
        if (!IsWindowVisible(Panel))
            continue;
        // Siblings before a window in the z-order lie in front of it.
        int Depth = 0;
        for (HWND Above = GetWindow(Panel, GW_HWNDPREV); Above != nullptr; Above = GetWindow(Above, GW_HWNDPREV))
            ++Depth;
        if (Front == 0 || Depth < FrontDepth) {
            Front = Id;
            FrontDepth = Depth;
        }
    }
    return Front;
}

TDialog FindDialog(DWORD ProcessId, const std::string& ChildClass)
{
    TDialog Found;
    ForEachTopWindow(ProcessId, [&](HWND Window) {
        if (WindowClass(Window) != "#32770")
            return false;
        const bool IsChooser = DescendantOfClass(Window, "SysTreeView32") != nullptr;
        if (ChildClass.empty() ? IsChooser : DescendantOfClass(Window, ChildClass) == nullptr)
            return false;
        Found.Handle = Window;
        return true;
    });
    if (Found.Handle == nullptr)
        return Found;
    Found.Caption = WindowText(Found.Handle);
    for (HWND Child : Descendants(Found.Handle)) {
        if (WindowClass(Child) != "Static")
            continue;
        const std::string Text = WindowText(Child);
        if (!Text.empty())
            Found.Text += (Found.Text.empty() ? "" : "\n") + Text;
    }
    return Found;
}

TDialog WaitForDialog(DWORD ProcessId, DWORD TimeoutMs, const std::string& ChildClass)
{
    TDialog Found;
    WaitFor([&] { return (Found = FindDialog(ProcessId, ChildClass)).Handle != nullptr; }, TimeoutMs);
    Check(Found.Handle != nullptr,
          "no " + (ChildClass.empty() ? std::string("message box") : "dialog with a " + ChildClass) +
              " appeared within " + std::to_string(TimeoutMs / 1000) + " s");
    return Found;
}

void ConfirmDialog(const TDialog& Dialog)
{
    TWindow(Dialog.Handle).Click(IDOK);
    Check(WaitFor([&] { return !IsWindow(Dialog.Handle) || !IsWindowVisible(Dialog.Handle); }, 10000),
          "the dialog \"" + Dialog.Caption + "\" stays after OK");
}

void SelectInFolderTree(const TDialog& Chooser, const std::vector<std::string>& Names, bool FromTop)
{
    const HWND Tree = DescendantOfClass(Chooser.Handle, "SysTreeView32");
    Check(Tree != nullptr, "the folder chooser has no folder tree");
    HTREEITEM Item = nullptr;
    const WPARAM Start = FromTop ? TVGN_ROOT : TVGN_CARET;
    Check(
        WaitFor([&] { return (Item = reinterpret_cast<HTREEITEM>(Send(Tree, TVM_GETNEXTITEM, Start, 0))) != nullptr; },
                10000),
        "the folder chooser selects no folder");
    for (const std::string& Name : Names) {
        Send(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Item));
        HTREEITEM Child = nullptr;
        std::vector<std::string> Seen;
        WaitFor(
            [&] {
                Seen.clear();
                for (auto Next = reinterpret_cast<HTREEITEM>(
                         Send(Tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(Item)));
                     Next != nullptr; Next = reinterpret_cast<HTREEITEM>(
                                          Send(Tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(Next)))) {
                    Seen.push_back(TreeItemText(Tree, Next));
                    if (lstrcmpiW(Wide(Seen.back()).c_str(), Wide(Name).c_str()) == 0) {
                        Child = Next;
                        return true;
                    }
                }
                return false;
            },
            10000);
        Check(Child != nullptr, "the folder chooser shows no \"" + Name + "\" below \"" + TreeItemText(Tree, Item) +
                                    "\"; it shows:\n" + QuoteLines(Seen));
        Send(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Child));
        Item = Child;
    }
}

void PressKeys(HWND Window, std::initializer_list<WORD> Keys)
{
    if (GetForegroundWindow() != Window)
        SetForegroundWindow(Window);
    Check(WaitFor([&] { return GetForegroundWindow() == Window; }, 5000),
          "the window \"" + WindowText(Window) + "\" does not come to the front for the keyboard");
    std::vector<INPUT> Input;
    const auto Key = [&](WORD Code, bool Up) {
        INPUT Event{};
        Event.type = INPUT_KEYBOARD;
        Event.ki.wVk = Code;
        Event.ki.wScan = static_cast<WORD>(MapVirtualKeyW(Code, MAPVK_VK_TO_VSC));
        Event.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
        Input.push_back(Event);
    };
    for (WORD Code : Keys)
        Key(Code, false);
    for (auto It = std::rbegin(Keys); It != std::rend(Keys); ++It)
        Key(*It, true);
    Check(SendInput(static_cast<UINT>(Input.size()), Input.data(), sizeof(INPUT)) == Input.size(),
          "the keys could not be typed");
}

HWND FocusedControl(HWND Window)
{
    GUITHREADINFO Info{};
    Info.cbSize = sizeof(Info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(Window, nullptr), &Info))
        return nullptr;
    return Info.hwndFocus;
}

void Screenshot(const std::string& BmpPath, std::initializer_list<HWND> Windows)
{
    SetForegroundWindow(*(Windows.end() - 1));
    // Everything sent before this message has been handled once it returns; a short pause
    // then lets the windows' pictures reach the screen.
    Send(*Windows.begin(), WM_NULL, 0, 0);
    Sleep(300);
    RECT Area;
    GetWindowRect(*Windows.begin(), &Area);
    for (HWND Window : Windows) {
        RECT Part;
        GetWindowRect(Window, &Part);
        UnionRect(&Area, &Area, &Part);
    }
    const int Width = Area.right - Area.left;
    const int Height = Area.bottom - Area.top;

    const HDC Screen = GetDC(nullptr);
    const HDC Memory = CreateCompatibleDC(Screen);
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof Info.bmiHeader;
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 24;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    const HBITMAP Picture = CreateDIBSection(Screen, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    const HGDIOBJ Old = SelectObject(Memory, Picture);
    const bool Copied = BitBlt(Memory, 0, 0, Width, Height, Screen, Area.left, Area.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    const bool Written = Copied && WriteBmp(BmpPath, Width, Height, Bits);
    SelectObject(Memory, Old);
    DeleteObject(Picture);
    DeleteDC(Memory);
    ReleaseDC(nullptr, Screen);
    Check(Written, "cannot write the screenshot " + BmpPath);
}

} // namespace e2e
