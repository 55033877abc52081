#include "app/win32/WizardWindow.h"

#include <algorithm>
#include <iterator>

#include <commctrl.h>
#include <richedit.h>

#include "app/ControlIds.h"
#include "app/SetupRun.h"
#include "app/win32/Dpi.h"
#include "app/win32/WizardFonts.h"
#include "language/Languages.h"
#include "platform/Exceptions.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// A fixed single border with only a close box.
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_CONTROLPARENT;
// Items a drop-down list shows at once.
constexpr int ComboDropDownItems = 8;

} // namespace

TWizardWindow::TWizardWindow(const TPlatform& Platform, const TCommandLine& Options, TSetupLog& Log)
    : FPlatform(Platform), FOptions(Options), FLog(Log)
{
    // The rich edit control's window class comes from this library.
    if (!LoadSystemLibrary("riched20.dll"))
        throw Exception("Cannot load the rich edit control (riched20.dll)");
    RegisterObjectClass(ClassName, DLGWINDOWEXTRA, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    FHandle = CreateWindowExW(WindowExStyle, ClassName, L"", WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              WizardClientWidth, WizardClientHeight, nullptr, nullptr, GetModuleHandleW(nullptr),
                              static_cast<TWindowObject*>(this));
    if (!FHandle)
        throw Exception("Cannot create the wizard's window");
    FDpi = WindowDpi(FHandle);
    for (TBackground Background : {TBackground::Face, TBackground::White, TBackground::Black})
        FBrushes[Background] = CreateSolidBrush(BackgroundColor(Background));
    CreateFonts();
    CreateControls();
    FillControls();
    OrderControls();
    ApplyDpi();
    PlaceWindow(nullptr);
    SendMessageW(FHandle, DM_SETDEFID, IDC_BTNNEXT, 0);
}

TWizardWindow::~TWizardWindow()
{
    FForm.reset();
    if (FHandle && IsWindow(FHandle)) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
    FChildren.clear();
    for (auto& [Role, Font] : FFonts)
        DeleteObject(Font);
    for (auto& [Background, Brush] : FBrushes)
        DeleteObject(Brush);
}

// --- creation

HWND TWizardWindow::CreateChild(const wchar_t* Class, DWORD Style, DWORD ExStyle, const TLayoutItem& Item)
{
    HWND Child =
        CreateWindowExW(ExStyle, Class, Wide(FixedCaption(Item, EnglishTexts())).c_str(),
                        WS_CHILD | WS_CLIPSIBLINGS | Style, 0, 0, Item.Width, Item.Height, FHandle,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(Item.Id)), GetModuleHandleW(nullptr), nullptr);
    if (!Child)
        throw Exception(std::string("Cannot create the wizard's control ") + std::to_string(Item.Id));
    return Child;
}

std::unique_ptr<TChildWindow> TWizardWindow::CreateControl(const TLayoutItem& Item)
{
    auto* Page = Item.Parent ? Find<TWin32Panel>(Item.Parent) : nullptr;
    const DWORD Tab = WS_TABSTOP | WS_GROUP;
    switch (Item.Kind) {
    case TControlKind::Page:
    case TControlKind::SubPage:
        return std::make_unique<TWin32Panel>(CreateChild(L"STATIC", SS_OWNERDRAW, 0, Item), Item, Page,
                                             [this](TWin32Panel& Front) { PageToFront(Front); });
    case TControlKind::Label:
        return std::make_unique<TWin32Label>(CreateChild(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, Item), Item, Page);
    case TControlKind::Button:
        return std::make_unique<TWin32Button>(
            CreateChild(L"BUTTON", Tab | (Item.Id == IDC_BTNNEXT ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, Item), Item,
            Page);
    case TControlKind::FlatButton:
        return std::make_unique<TWin32FlatButton>(CreateChild(L"BUTTON", Tab | BS_OWNERDRAW, 0, Item), Item, Page);
    case TControlKind::CheckBox:
        return std::make_unique<TWin32CheckBox>(CreateChild(L"BUTTON", Tab | BS_AUTOCHECKBOX, 0, Item), Item, Page);
    case TControlKind::RadioButton:
        // The first radio button of the licence page starts the group; the second joins it.
        return std::make_unique<TWin32CheckBox>(
            CreateChild(L"BUTTON", BS_AUTORADIOBUTTON | (Item.Id == IDC_RADIOACCEPT ? Tab : 0), 0, Item), Item, Page);
    case TControlKind::CheckList:
        return std::make_unique<TWin32CheckList>(
            CreateChild(L"LISTBOX",
                        Tab | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                        WS_EX_CLIENTEDGE, Item),
            Item, Page);
    case TControlKind::Memo:
    case TControlKind::LogMemo:
        // Without horizontal scrolling an edit control wraps its long lines: a progress line
        // (a Start Menu path) or a data folder in the summary is read whole, not cut at the
        // control's edge where its last part says where a file goes.
        return std::make_unique<TWin32Memo>(CreateChild(L"EDIT",
                                                        Tab | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                                        WS_EX_CLIENTEDGE, Item),
                                            Item, Page);
    case TControlKind::ProgressBar:
        return std::make_unique<TWin32ProgressBar>(CreateChild(PROGRESS_CLASSW, 0, 0, Item), Item, Page);
    case TControlKind::ComboBox:
        return std::make_unique<TWin32ComboBox>(
            CreateChild(L"COMBOBOX", Tab | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, Item), Item, Page);
    case TControlKind::RichText:
        return std::make_unique<TWin32RichText>(
            CreateChild(RICHEDIT_CLASSW, Tab | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                        WS_EX_CLIENTEDGE, Item),
            Item, Page);
    case TControlKind::Picture:
        return std::make_unique<TWin32Image>(CreateChild(L"STATIC", SS_OWNERDRAW, 0, Item), Item, Page);
    case TControlKind::LinkLabel: {
        auto Window = std::make_unique<TLinkLabelWindow>(FHandle, Item.Id, Item.X, Item.Y, Item.Width, Item.Height);
        if (!Window->Handle())
            throw Exception(std::string("Cannot create the wizard's control ") + std::to_string(Item.Id));
        TLinkLabel& Label = Window->Label();
        Label.SetColor(Item.Background == TBackground::White ? clWhite : clBtnFace);
        Label.SetAutoHeight(true);
        Label.OnLinkClick = [this](TCustomLinkLabel*, int32_t Number, const std::string& Text) {
            if (FForm)
                FForm->LabelStart2LinkClick(Number, Text);
        };
        auto Control = std::make_unique<TWin32LinkLabel>(std::move(Window), Item, Page);
        Control->OnCaptionChanged = [this](TChildWindow& Child) { ApplyFont(Child, true); };
        return Control;
    }
    }
    throw Exception("Unknown control kind");
}

void TWizardWindow::CreateControls()
{
    for (const TLayoutItem& Item : WizardLayout()) {
        std::unique_ptr<TChildWindow> Control = CreateControl(Item);
        FById[Item.Id] = Control.get();
        FByHandle[Control->Handle()] = Control.get();
        FChildren.push_back(std::move(Control));
    }
    auto* Accept = Find<TWin32CheckBox>(IDC_RADIOACCEPT);
    auto* NotAccept = Find<TWin32CheckBox>(IDC_RADIONOTACCEPT);
    Accept->SetGroup({Accept, NotAccept});
    NotAccept->SetGroup({Accept, NotAccept});
    // The licence is not accepted when the window opens.
    NotAccept->SetChecked(true);
}

template <class T> T* TWizardWindow::Find(int Id) const
{
    auto It = FById.find(Id);
    auto* Control = It == FById.end() ? nullptr : dynamic_cast<T*>(It->second);
    if (!Control)
        throw Exception("The wizard has no control " + std::to_string(Id));
    return Control;
}

void TWizardWindow::FillControls()
{
    TWizardControls& C = FControls;
    C.Window = this;
    C.PanelStart = Find<TWin32Panel>(IDC_PANELSTART);
    C.PanelInstall = Find<TWin32Panel>(IDC_PANELINSTALL);
    C.PanelFinish = Find<TWin32Panel>(IDC_PANELFINISH);
    C.PanelInfo = Find<TWin32Panel>(IDC_PANELINFO);
    C.PanelLicense = Find<TWin32Panel>(IDC_PANELLICENSE);
    C.PanelFolder = Find<TWin32Panel>(IDC_PANELFOLDER);
    C.PanelReady = Find<TWin32Panel>(IDC_PANELREADY);
    C.PanelProgress = Find<TWin32Panel>(IDC_PANELPROGRESS);
    C.PanelNews = Find<TWin32Panel>(IDC_PANELNEWS);
    C.BtnPrev = Find<TWin32Button>(IDC_BTNPREV);
    C.BtnNext = Find<TWin32Button>(IDC_BTNNEXT);
    C.BtnCancel = Find<TWin32Button>(IDC_BTNCANCEL);
    C.BtnAddMetaTrader = Find<TWin32Button>(IDC_BTNADDMETATRADER);
    C.ImgBanner = Find<TWin32Image>(IDC_IMGBANNER);
    C.LabelStart1 = Find<TWin32Label>(IDC_LABELSTART1);
    C.LabelStart2 = Find<TWin32LinkLabel>(IDC_LABELSTART2);
    C.LabelFinish1 = Find<TWin32Label>(IDC_LABELFINISH1);
    C.LabelFinish2 = Find<TWin32LinkLabel>(IDC_LABELFINISH2);
    C.CheckRun = Find<TWin32CheckBox>(IDC_CHECKRUN);
    C.ComboRun = Find<TWin32ComboBox>(IDC_COMBORUN);
    C.RichInfo = Find<TWin32RichText>(IDC_RICHINFO);
    C.RichLicense = Find<TWin32RichText>(IDC_RICHLICENSE);
    C.RadioAccept = Find<TWin32CheckBox>(IDC_RADIOACCEPT);
    C.RadioNotAccept = Find<TWin32CheckBox>(IDC_RADIONOTACCEPT);
    C.ListMetaTrader = Find<TWin32CheckList>(IDC_LISTMETATRADER);
    C.MemoReady = Find<TWin32Memo>(IDC_MEMOREADY);
    C.LabelProgress1 = Find<TWin32Label>(IDC_LABELPROGRESS1);
    C.LabelProgress2 = Find<TWin32Label>(IDC_LABELPROGRESS2);
    C.LabelProgress3 = Find<TWin32Label>(IDC_LABELPROGRESS3);
    C.ProgressBar1 = Find<TWin32ProgressBar>(IDC_PROGRESSBAR1);
    C.MemoProgress = Find<TWin32Memo>(IDC_MEMOPROGRESS);
    C.RichNews = Find<TWin32RichText>(IDC_RICHNEWS);
}

void TWizardWindow::OrderControls()
{
    // The tab order is the order of the windows from the top, and it is the reading order:
    // each page's controls as the layout lists them (top to bottom), then the button bar
    // from the left, Prev, Next, Cancel. The pages lie under everything, the start page's
    // two contents just above the start page.
    HWND After = HWND_TOP;
    for (const auto& Child : FChildren) {
        const TControlKind Kind = Child->Item().Kind;
        if (Kind == TControlKind::Page || Kind == TControlKind::SubPage)
            continue;
        SetWindowPos(Child->Handle(), After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        After = Child->Handle();
    }
    for (TControlKind Kind : {TControlKind::SubPage, TControlKind::Page})
        for (const auto& Child : FChildren)
            if (Child->Item().Kind == Kind)
                SetWindowPos(Child->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- DPI

void TWizardWindow::CreateFonts()
{
    for (auto& [Role, Font] : FFonts)
        DeleteObject(Font);
    FFonts.clear();
    for (TFontRole Role : {TFontRole::Window, TFontRole::Names, TFontRole::Title, TFontRole::Headline})
        FFonts[Role] = CreateWizardFont(Role, FDpi, FLanguage);
}

HFONT TWizardWindow::FontFor(TFontRole Role) const
{
    return FFonts.at(Role);
}

void TWizardWindow::ApplyFont(TChildWindow& Child, bool Redraw)
{
    const HFONT Font = FontFor(FontRoleFor(Child.Item().Font, FLanguage, Child.FontText()));
    SendMessageW(Child.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font), Redraw ? TRUE : FALSE);
}

void TWizardWindow::ApplyDpi()
{
    for (const auto& Child : FChildren) {
        const TLayoutItem& Item = Child->Item();
        const TDesignRect Design = ClientRect(Item);
        const int X = Scale(Design.X, FDpi);
        const int Y = Scale(Design.Y, FDpi);
        const int Width = Scale(Design.X + Design.Width, FDpi) - X;
        int Height = Scale(Design.Y + Design.Height, FDpi) - Y;
        // A drop-down list's window includes its open list.
        if (Item.Kind == TControlKind::ComboBox)
            Height = Scale(Item.Height, FDpi) * (ComboDropDownItems + 1) + Scale(8, FDpi);
        SetWindowPos(Child->Handle(), nullptr, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyFont(*Child, false);
        Child->DpiChanged(FDpi);
    }
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TWizardWindow::PlaceWindow(const RECT* Suggested)
{
    if (Suggested) {
        SetWindowPos(FHandle, nullptr, Suggested->left, Suggested->top, Suggested->right - Suggested->left,
                     Suggested->bottom - Suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // Centred on the screen it opens on.
    const SIZE Size = WindowSizeForClient(Scale(WizardClientWidth, FDpi), Scale(WizardClientHeight, FDpi), WindowStyle,
                                          WindowExStyle, FDpi);
    MONITORINFO Monitor{};
    Monitor.cbSize = sizeof(Monitor);
    GetMonitorInfoW(MonitorFromWindow(FHandle, MONITOR_DEFAULTTOPRIMARY), &Monitor);
    const RECT& Work = Monitor.rcWork;
    const int X = Work.left + ((Work.right - Work.left) - Size.cx) / 2;
    const int Y = Work.top + ((Work.bottom - Work.top) - Size.cy) / 2;
    SetWindowPos(FHandle, nullptr, X, Y, Size.cx, Size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- pages and events

void TWizardWindow::PageToFront(TWin32Panel& Page)
{
    for (const auto& Child : FChildren)
        if (auto* Other = dynamic_cast<TWin32Panel*>(Child.get()); Other && Other->ParentPage() == Page.ParentPage())
            Other->SetFront(Other == &Page);
    for (const auto& Child : FChildren)
        Child->UpdateShown();
}

void TWizardWindow::OnCommand(int Id, int Code)
{
    if (!FForm || Code != BN_CLICKED)
        return;
    // The Enter key reaches the default button's command even while the button is disabled.
    if (auto It = FById.find(Id); It == FById.end() || !IsWindowEnabled(It->second->Handle()))
        return;
    const int32_t PageBefore = FForm->PageIndex();
    switch (Id) {
    case IDC_BTNNEXT: FForm->BtnNextClick(); break;
    case IDC_BTNPREV: FForm->BtnPrevClick(); break;
    case IDC_BTNCANCEL: FForm->BtnCancelClick(); break;
    case IDC_RADIOACCEPT:
    case IDC_RADIONOTACCEPT: FForm->RadioAcceptClick(); break;
    case IDC_BTNADDMETATRADER: FForm->BtnAddMetaTraderClick(); break;
    default: return;
    }
    FollowForm(PageBefore);
}

void TWizardWindow::FollowForm(int32_t PageBefore)
{
    // Enter presses the form's default button; a page just shown takes the focus where the
    // form puts it, and otherwise the focus stays where it can be used.
    if (auto* Default = dynamic_cast<TChildWindow*>(FForm->DefaultButton()))
        SendMessageW(FHandle, DM_SETDEFID, static_cast<WPARAM>(Default->Item().Id), 0);
    auto* Focus = dynamic_cast<TChildWindow*>(FForm->FocusControl());
    if (FForm->PageIndex() != PageBefore && Focus && GetActiveWindow() == FHandle && IsWindowVisible(Focus->Handle()) &&
        IsWindowEnabled(Focus->Handle()))
        SetFocus(Focus->Handle());
    else
        KeepFocusUsable();
}

void TWizardWindow::KeepFocusUsable()
{
    // A page that went away or a button that was disabled takes the keyboard focus with it;
    // it moves to Next, or else to the first control that can take it.
    if (GetActiveWindow() != FHandle)
        return;
    HWND Focus = GetFocus();
    if (Focus && IsWindowVisible(Focus) && IsWindowEnabled(Focus))
        return;
    HWND Next = FById.at(IDC_BTNNEXT)->Handle();
    HWND Target = IsWindowEnabled(Next) ? Next : GetNextDlgTabItem(FHandle, nullptr, FALSE);
    if (Target)
        SendMessageW(FHandle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Target), TRUE);
}

TChildWindow* TWizardWindow::ControlByHandle(HWND Window) const
{
    auto It = FByHandle.find(Window);
    return It == FByHandle.end() ? nullptr : It->second;
}

void TWizardWindow::PaintButtonBar(HDC DC)
{
    // The lowered line along the top of the button bar.
    RECT Client;
    GetClientRect(FHandle, &Client);
    const int Top = Scale(PageAreaHeight, FDpi);
    const int Line = std::max(1, Scale(1, FDpi));
    RECT Shadow{0, Top, Client.right, Top + Line};
    RECT Light{0, Top + Line, Client.right, Top + 2 * Line};
    FillRect(DC, &Shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(DC, &Light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

LRESULT TWizardWindow::HandleMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_COMMAND:
        if (LParam != 0) {
            OnCommand(LOWORD(WParam), HIWORD(WParam));
        } else if (LOWORD(WParam) == IDCANCEL && FForm) {
            // The dialog manager's answer to the Esc key.
            FForm->EscapePressed();
            KeepFocusUsable();
        }
        return 0;
    case WM_DRAWITEM: {
        const auto* Draw = reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        if (TChildWindow* Control = ControlByHandle(Draw->hwndItem)) {
            Control->DrawItem(*Draw);
            return TRUE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        // Sent while the check list is created, before its object exists.
        auto* Measure = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
        const TLayoutItem* Item = FindLayoutItem(static_cast<int>(Measure->CtlID));
        if (Item && Item->Kind == TControlKind::CheckList) {
            Measure->itemHeight = static_cast<UINT>(Scale(ListItemHeight, FDpi));
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (TChildWindow* Control = ControlByHandle(reinterpret_cast<HWND>(LParam))) {
            auto DC = reinterpret_cast<HDC>(WParam);
            SetBkColor(DC, BackgroundColor(Control->Item().Background));
            SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(FBrushes.at(Control->Item().Background));
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT Paint;
        HDC DC = BeginPaint(Window, &Paint);
        PaintButtonBar(DC);
        EndPaint(Window, &Paint);
        return 0;
    }
    case WM_DPICHANGED:
        FDpi = HIWORD(WParam);
        CreateFonts();
        ApplyDpi();
        PlaceWindow(reinterpret_cast<const RECT*>(LParam));
        return 0;
    case WM_CLOSE: DestroyWindow(Window); return 0;
    case WM_DESTROY:
        if (FForm) {
            FExitCode = FForm->ExitCode();
            FForm->FormDestroy();
        }
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefDlgProcW(Window, Message, WParam, LParam);
}

// --- IWizardWindow

void TWizardWindow::SetCaption(const std::string& Caption)
{
    SetWindowTextW(FHandle, Wide(Caption).c_str());
}

void TWizardWindow::SetApplicationTitle(const std::string& Title)
{
    ApplicationTitle = Title;
}

void TWizardWindow::Repaint()
{
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TWizardWindow::Close()
{
    PostMessageW(FHandle, WM_CLOSE, 0, 0);
}

UINT MessageBoxIcon(TMessageIcon Icon)
{
    switch (Icon) {
    case TMessageIcon::Error: return MB_ICONERROR;
    case TMessageIcon::Warning: return MB_ICONWARNING;
    case TMessageIcon::Information: return MB_ICONINFORMATION;
    }
    return 0;
}

void TWizardWindow::MessageBox(const std::string& Text, const std::string& Caption, TMessageIcon Icon)
{
    MessageBoxW(FHandle, Wide(Text).c_str(), Wide(Caption).c_str(), MB_OK | MessageBoxIcon(Icon));
}

void TWizardWindow::SetFixedTexts(const TTextTable& Texts)
{
    // The language's script may want other faces.
    FLanguage = Texts.Language();
    CreateFonts();
    ApplyDpi();
    for (const auto& Child : FChildren)
        if (Child->Item().Caption)
            SetWindowTextW(Child->Handle(), Wide(FixedCaption(Child->Item(), Texts)).c_str());
}

// --- the program's run

void TWizardWindow::Show(int ShowCommand)
{
    FForm = std::make_unique<TFormInstaller>(FPlatform, FControls, FOptions, &FLog);
    const bool Silent = FOptions.Mode == TUiMode::Silent;
    bool Created = true;
    try {
        FForm->FormCreate();
    } catch (const std::exception& Failure) {
        // Without a prepared wizard only closing works: the page buttons stay disabled.
        Created = false;
        FControls.BtnPrev->SetEnabled(false);
        FControls.BtnNext->SetEnabled(false);
        if (!FOptions.Quiet())
            ShowApplicationError(FHandle, Failure.what());
    }
    if (Silent) {
        // Shown before the run, which paints its progress page as it goes; nothing is
        // painted of the pages it passes on the way, unless a message box is shown.
        ShowWindow(FHandle, ShowCommand);
        try {
            if (Created)
                FForm->RunSilently();
        } catch (const std::exception& Failure) {
            if (!FOptions.Quiet())
                ShowApplicationError(FHandle, Failure.what());
        }
        Close();
        return;
    }
    ShowWindow(FHandle, ShowCommand);
    UpdateWindow(FHandle);
    SetForegroundWindow(FHandle);
    // The focus shows from the start, not only once a key has been pressed.
    SendMessageW(FHandle, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    FollowForm(-1);
}

namespace {

bool IsOfClass(HWND Control, const wchar_t* ClassName)
{
    wchar_t Class[16] = {};
    GetClassNameW(Control, Class, static_cast<int>(std::size(Class)));
    return lstrcmpiW(Class, ClassName) == 0;
}

// A push button (or the owner-drawn folder button) that Enter presses when it has the focus.
bool IsPushButton(HWND Control)
{
    const LONG_PTR Type = GetWindowLongPtrW(Control, GWL_STYLE) & BS_TYPEMASK;
    return IsOfClass(Control, L"Button") && (Type == BS_PUSHBUTTON || Type == BS_DEFPUSHBUTTON || Type == BS_OWNERDRAW);
}

// Enter in the wizard: the focused button, or else the default button, as a click. Texts
// and lists would take the key for themselves (a multi-line text wants it, and each kind of
// text passes it on its own way); an open drop-down list keeps it to close.
bool PressEnter(HWND Window, const MSG& Message)
{
    if (Message.message != WM_KEYDOWN || Message.wParam != VK_RETURN || !IsChild(Window, Message.hwnd))
        return false;
    if (IsOfClass(Message.hwnd, L"ComboBox") && SendMessageW(Message.hwnd, CB_GETDROPPEDSTATE, 0, 0) == TRUE)
        return false;
    HWND Target = Message.hwnd;
    if (!IsPushButton(Target)) {
        const LRESULT Default = SendMessageW(Window, DM_GETDEFID, 0, 0);
        Target = HIWORD(Default) == DC_HASDEFID ? GetDlgItem(Window, LOWORD(Default)) : nullptr;
    }
    if (Target)
        SendMessageW(Window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Target), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Target));
    return true;
}

} // namespace

void TWizardWindow::RunMessageLoop(HWND Window)
{
    MSG Message;
    while (GetMessageW(&Message, nullptr, 0, 0) > 0) {
        // Enter, then Tab and Shift+Tab, the arrow keys in the radio group and Esc.
        if (IsWindow(Window) && (PressEnter(Window, Message) || IsDialogMessageW(Window, &Message)))
            continue;
        TranslateMessage(&Message);
        DispatchMessageW(&Message);
    }
}

int RunWizard(int ShowCommand)
{
    TWin32Platform Windows;
    const TPlatform& Platform = Windows.Platform();
    TSetupLog Log(Platform);
    TCommandLine Options;
    const auto Box = [](const std::string& Text, const std::string& Caption, TMessageIcon Icon) {
        MessageBoxW(nullptr, Wide(Text).c_str(), Wide(Caption).c_str(), MB_OK | MessageBoxIcon(Icon));
    };
    // The command line as UTF-8, as all of the program's text: a /LOG= path of any name.
    if (const auto Code = StartSetup(Platform, Utf8(GetCommandLineW()), Options, Log, Box))
        return *Code;
    if (Options.Mode == TUiMode::VerySilent)
        return RunWithoutWindow(Platform, Options, Log);
    TWizardWindow Wizard(Platform, Options, Log);
    Windows.Shell.SetOwnerWindow(Wizard.Handle());
    Wizard.Show(ShowCommand);
    TWizardWindow::RunMessageLoop(Wizard.Handle());
    Log.AddResult(Wizard.ExitCode());
    return Wizard.ExitCode();
}

} // namespace qe::win32
