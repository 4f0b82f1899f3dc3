#include "win32/formwindow.h"

#include "win32/resources.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

namespace qm
{
namespace
{

constexpr char ClassName[] = "QuillmastForm";
constexpr UINT DestroyLater = WM_APP + 3;
constexpr UINT DeferredEvent = WM_APP + 4;
// Command ids of the controls that are neither the default nor the cancel button.
constexpr int ControlIdBase = 1000;
// How many entries a drop-down shows before it scrolls.
constexpr int DropDownEntries = 12;

HINSTANCE instance()
{
    return GetModuleHandleA(nullptr);
}

// The fonts live as long as the process: windows come and go, their faces stay.
HFONT fontFor(const FontFace &face, int dpi)
{
    static std::map<std::tuple<std::string, int, bool>, HFONT> fonts;
    const int height = -static_cast<int>(std::lround(face.points * dpi / 72.0));
    const auto key = std::make_tuple(std::string(face.family), height, face.bold);
    if (const auto it = fonts.find(key); it != fonts.end())
        return it->second;
    HFONT font = nullptr;
    if (face.family.empty()) {
        // The system's dialog font.
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            font = CreateFontIndirectA(&metrics.lfMessageFont);
        if (!font)
            font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    } else {
        font =
            CreateFontA(height, 0, 0, 0, face.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, std::string(face.family).c_str());
    }
    fonts[key] = font;
    return font;
}

void registerClass()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA; // replaced per window at creation
        wc.hInstance = instance();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = ClassName;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}

} // namespace

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : DesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : DesignDpi;
}

HICON FormIconHandle(FormIcon icon, int size)
{
    const int id = icon == FormIcon::ChangePath ? IDI_CHANGEPATH : IDI_APPLICATION_ICON;
    return static_cast<HICON>(
        LoadImageA(instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
}

HMENU BuildPopupMenu(const MenuFace &face)
{
    HMENU menu = CreatePopupMenu();
    for (const MenuEntryFace &e : face.entries) {
        if (!e.command) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string caption(e.caption);
        if (e.shortcut.key)
            caption += std::string("\t") + (e.shortcut.ctrl ? "Ctrl+" : "") + e.shortcut.key;
        AppendMenuA(menu, MF_STRING, MenuCommandId(*e.command), caption.c_str());
        if (e.isDefault)
            SetMenuDefaultItem(menu, MenuCommandId(*e.command), FALSE);
    }
    return menu;
}

HACCEL BuildAccelerators(const MenuFace &face)
{
    std::vector<ACCEL> keys;
    for (const MenuEntryFace &e : face.entries)
        if (e.command && e.shortcut.key)
            keys.push_back({static_cast<BYTE>(FVIRTKEY | (e.shortcut.ctrl ? FCONTROL : 0)),
                            static_cast<WORD>(e.shortcut.key),
                            static_cast<WORD>(MenuCommandId(*e.command))});
    if (keys.empty())
        return nullptr;
    return CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

FormWindow::FormWindow(Win32EventPump &pump, const FormSpec &layout, DWORD style) : pump_(pump)
{
    create(layout, style);
}

FormWindow::~FormWindow()
{
    pump_.removeDialog(hwnd_);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    ShowWindow(hwnd_, SW_HIDE);
    PostMessageA(hwnd_, DestroyLater, 0, 0);
}

void FormWindow::create(const FormSpec &layout, DWORD style)
{
    registerClass();
    const int dpi = SystemDpi();
    RECT frame{0, 0, TwipsToPixels(layout.clientWidth, dpi),
               TwipsToPixels(layout.clientHeight, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const std::string caption(layout.caption);
    hwnd_ = CreateWindowExA(0, ClassName, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance(), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::procedure));
    const int small = GetSystemMetrics(SM_CXSMICON), big = GetSystemMetrics(SM_CXICON);
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(FormIconHandle(layout.icon, small)));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(FormIconHandle(layout.icon, big)));

    const std::size_t n = layout.controls.size();
    controls_.assign(n, nullptr);
    kinds_.assign(n, ControlKind::Label);
    faceColours_.assign(n, -1);
    listShown_.assign(n, -1);
    // Created in tab order first, each below the one before: the dialog
    // manager's Tab follows that order. The rest after them.
    std::vector<int> order = layout.tabOrder;
    for (int i = 0; i < static_cast<int>(n); ++i)
        if (std::find(order.begin(), order.end(), i) == order.end())
            order.push_back(i);
    for (int i : order) {
        const ControlSpec &c = layout.controls[static_cast<std::size_t>(i)];
        kinds_[static_cast<std::size_t>(i)] = c.kind;
        faceColours_[static_cast<std::size_t>(i)] = c.faceColour;
        if (c.isDefault)
            defaultButton_ = i;
        if (c.isCancel)
            cancelButton_ = i;
        controls_[static_cast<std::size_t>(i)] = createControl(i, c, dpi);
        SetWindowPos(controls_[static_cast<std::size_t>(i)], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (!layout.tabOrder.empty())
        focus_ = control(layout.tabOrder.front());
    pump_.addDialog(hwnd_);
}

HWND FormWindow::createControl(int index, const ControlSpec &c, int dpi)
{
    const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    const char *cls = "STATIC";
    // Where controls overlap, the one earlier in the tab order is drawn over
    // the later (a label under its field).
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, exStyle = 0;
    int id = ControlIdBase + index;
    int height = px(c.rect.height);
    switch (c.kind) {
    case ControlKind::Label:
        // Status texts may hold an "&": no accelerator letters on labels.
        style |= SS_LEFT | SS_NOPREFIX;
        break;
    case ControlKind::TextField:
        cls = "EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::ChoiceList:
    case ControlKind::DriveList:
        // Pick only, no typing; the height given is the drop-down's.
        cls = "COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        height += DropDownEntries * px(240);
        break;
    case ControlKind::Button:
        cls = "BUTTON";
        style |= WS_TABSTOP;
        // A face colour of its own: the button is drawn here.
        style |= c.faceColour >= 0
                     ? BS_OWNERDRAW
                     : static_cast<DWORD>(c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (c.isDefault)
            id = IDOK;
        else if (c.isCancel)
            id = IDCANCEL;
        break;
    case ControlKind::Separator:
        style |= SS_ETCHEDHORZ;
        height = SeparatorPixels;
        break;
    case ControlKind::Image:
        style |= SS_ICON | SS_CENTERIMAGE;
        break;
    case ControlKind::FolderList:
        cls = "LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                 LBS_NOINTEGRALHEIGHT;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    }
    const std::string caption(c.caption);
    HWND w =
        CreateWindowExA(exStyle, cls, c.kind == ControlKind::Image ? "" : caption.c_str(), style,
                        px(c.rect.left), px(c.rect.top), px(c.rect.width), height, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
    const HFONT font = fontFor(c.font, dpi);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    switch (c.kind) {
    case ControlKind::TextField:
        SendMessageA(w, EM_LIMITTEXT, 0, 0); // no limit
        break;
    case ControlKind::ChoiceList:
    case ControlKind::DriveList:
        // The closed list as high as the face has it.
        SendMessageA(w, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     std::max(px(c.rect.height) - 6, 8));
        break;
    case ControlKind::Image:
        SendMessageA(
            w, STM_SETICON,
            reinterpret_cast<WPARAM>(FormIconHandle(FormIcon::Application, px(c.rect.width))), 0);
        break;
    case ControlKind::FolderList: {
        TEXTMETRICA metrics{};
        if (HDC dc = GetDC(w)) {
            SelectObject(dc, font);
            GetTextMetricsA(dc, &metrics);
            ReleaseDC(w, dc);
        }
        SendMessageA(w, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 2);
        break;
    }
    default:
        break;
    }
    return w;
}

HFONT FormWindow::controlFont(int index) const
{
    return reinterpret_cast<HFONT>(SendMessageA(control(index), WM_GETFONT, 0, 0));
}

std::optional<int> FormWindow::controlOf(HWND window) const
{
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (window && controls_[i] == window)
            return static_cast<int>(i);
    return std::nullopt;
}

std::string FormWindow::controlText(int index) const
{
    const HWND w = control(index);
    if (kinds_[static_cast<std::size_t>(index)] == ControlKind::ChoiceList ||
        kinds_[static_cast<std::size_t>(index)] == ControlKind::DriveList) {
        const LRESULT i = SendMessageA(w, CB_GETCURSEL, 0, 0);
        if (i == CB_ERR)
            return {};
        const LRESULT n = SendMessageA(w, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::vector<char> buffer(static_cast<std::size_t>(n < 0 ? 0 : n) + 1, '\0');
        SendMessageA(w, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(buffer.data()));
        return buffer.data();
    }
    const int n = GetWindowTextLengthA(w);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    GetWindowTextA(w, buffer.data(), n + 1);
    return std::string(buffer.data());
}

void FormWindow::setControlText(int index, const std::string &text)
{
    const HWND w = control(index);
    const bool applyingBefore = std::exchange(applying_, true);
    if (kinds_[static_cast<std::size_t>(index)] == ControlKind::TextField && GetFocus() == w) {
        // A field being typed in keeps its caret as far from the end as it
        // was (a refused character taken out, the caret stays where it was).
        DWORD start = 0, end = 0;
        SendMessageA(w, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        const int fromEnd = GetWindowTextLengthA(w) - static_cast<int>(end);
        SetWindowTextA(w, text.c_str());
        const int at = std::max(0, static_cast<int>(text.size()) - fromEnd);
        SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(at), at);
    } else {
        SetWindowTextA(w, text.c_str());
    }
    applying_ = applyingBefore;
}

void FormWindow::setControlVisible(int index, bool visible)
{
    ShowWindow(control(index), visible ? SW_SHOWNA : SW_HIDE);
}

void FormWindow::setControlEnabled(int index, bool enabled)
{
    EnableWindow(control(index), enabled);
}

void FormWindow::setListEntries(int index, const std::vector<std::string> &entries)
{
    const HWND w = control(index);
    SendMessageA(w, CB_RESETCONTENT, 0, 0);
    for (const std::string &e : entries)
        SendMessageA(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
    SendMessageA(w, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    listShown_[static_cast<std::size_t>(index)] = -1;
}

int FormWindow::listSelection(int index) const
{
    const LRESULT i = SendMessageA(control(index), CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

void FormWindow::selectInList(int index, int entry)
{
    SendMessageA(control(index), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    listShown_[static_cast<std::size_t>(index)] = listSelection(index);
}

void FormWindow::focusControl(int index)
{
    focus_ = control(index);
    if (GetActiveWindow() == hwnd_)
        SetFocus(focus_);
}

void FormWindow::showWindow()
{
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void FormWindow::hideWindow()
{
    ShowWindow(hwnd_, SW_HIDE);
}

void FormWindow::command(WPARAM wp, LPARAM lp)
{
    const int id = LOWORD(wp), code = HIWORD(wp);
    if (lp == 0) {
        // A menu entry (0) or an accelerator (1).
        if (code == 0 || code == 1)
            tell(Told::Menu, id);
        return;
    }
    // Enter comes as IDOK, Escape as IDCANCEL (IsDialogMessage), a click on
    // the cancel button as IDCANCEL too: only the key tells them apart.
    if (id == IDCANCEL && (cancelButton_ < 0 || GetKeyState(VK_ESCAPE) < 0)) {
        tell(Told::Escape, 0);
        return;
    }
    int index = id - ControlIdBase;
    if (id == IDOK)
        index = defaultButton_;
    else if (id == IDCANCEL)
        index = cancelButton_;
    if (index < 0 || index >= static_cast<int>(controls_.size()))
        return;
    const std::size_t i = static_cast<std::size_t>(index);
    switch (kinds_[i]) {
    case ControlKind::Button:
        if (code == BN_CLICKED)
            tell(Told::Clicked, index);
        break;
    case ControlKind::TextField:
        if (code == EN_CHANGE && !applying_)
            tell(Told::Edited, index);
        break;
    case ControlKind::ChoiceList:
    case ControlKind::DriveList:
        // A choice is made once the drop-down is closed.
        if ((code == CBN_SELCHANGE && !SendMessageA(control(index), CB_GETDROPPEDSTATE, 0, 0)) ||
            code == CBN_CLOSEUP) {
            const int now = listSelection(index);
            if (now != listShown_[i]) {
                listShown_[i] = now;
                tell(Told::Selected, index);
            }
        }
        break;
    case ControlKind::FolderList:
        if (code == LBN_DBLCLK)
            tell(Told::Activated, index);
        break;
    default:
        break;
    }
}

// The event is told once the control has done with the message behind it:
// a handler that runs the send cycle or a box would otherwise run inside
// the control's own mouse handling (a button holding the mouse capture for
// as long as automatic sending goes on).
void FormWindow::tell(Told what, int index)
{
    PostMessageA(hwnd_, DeferredEvent, static_cast<WPARAM>(what), index);
}

void FormWindow::told(Told what, int index)
{
    switch (what) {
    case Told::Clicked:
        onClicked(index);
        break;
    case Told::Edited:
        onEdited(index);
        break;
    case Told::Selected:
        onSelected(index);
        break;
    case Told::Activated:
        onActivated(index);
        break;
    case Told::Escape:
        onEscape();
        break;
    case Told::Menu:
        onMenu(static_cast<UINT>(index));
        break;
    }
}

void FormWindow::drawButton(const DRAWITEMSTRUCT &d) const
{
    RECT r = d.rcItem;
    DrawFrameControl(d.hDC, &r, DFC_BUTTON,
                     DFCS_BUTTONPUSH | ((d.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
    const auto index = controlOf(d.hwndItem);
    const int colour = index ? faceColours_[static_cast<std::size_t>(*index)] : -1;
    InflateRect(&r, -2, -2);
    if (colour >= 0) {
        HBRUSH brush =
            CreateSolidBrush(RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
        FillRect(d.hDC, &r, brush);
        DeleteObject(brush);
    }
    char caption[128] = {};
    GetWindowTextA(d.hwndItem, caption, sizeof caption);
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(IsWindowEnabled(d.hwndItem) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextA(d.hDC, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (d.itemState & ODS_FOCUS) {
        InflateRect(&r, -1, -1);
        DrawFocusRect(d.hDC, &r);
    }
}

void FormWindow::paintBackground(HDC dc) const
{
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ before = SelectObject(source, background_);
    BITMAP b{};
    GetObjectA(background_, sizeof b, &b);
    BitBlt(dc, 0, 0, b.bmWidth, b.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, before);
    DeleteDC(source);
}

LRESULT FormWindow::dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        command(wp, lp);
        return 0;
    case WM_CLOSE:
        // The close box is the rules' to decide: the window never closes itself.
        onClose();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            if (HWND f = GetFocus(); f && IsChild(hwnd_, f))
                focus_ = f;
            break;
        }
        if (!focus_ || HIWORD(wp))
            break;
        SetFocus(focus_);
        return 0;
    case DeferredEvent:
        told(static_cast<Told>(wp), static_cast<int>(lp));
        return 0;
    case DM_GETDEFID:
        // Asked by IsDialogMessage for Enter: the default button.
        return defaultButton_ >= 0 ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
    case WM_SETFOCUS:
        if (focus_)
            SetFocus(focus_);
        return 0;
    case WM_DRAWITEM: {
        const auto &d = *reinterpret_cast<const DRAWITEMSTRUCT *>(lp);
        if (d.CtlType == ODT_BUTTON)
            drawButton(d);
        else if (d.CtlType == ODT_LISTBOX)
            drawListItem(d);
        return TRUE;
    }
    case WM_ERASEBKGND:
        if (!background_)
            break;
        paintBackground(reinterpret_cast<HDC>(wp));
        return 1;
    case WM_PAINT:
        if (!background_)
            break;
        {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            paintBackground(dc);
            paintOver(dc);
            EndPaint(hwnd_, &ps);
        }
        return 0;
    default: {
        bool handled = false;
        const LRESULT result = onMessage(msg, wp, lp, handled);
        if (handled)
            return result;
        break;
    }
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK FormWindow::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto *self = reinterpret_cast<FormWindow *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        // The form was dropped: its window goes now.
        if (msg == DestroyLater) {
            DestroyWindow(hwnd);
            return 0;
        }
        if (msg == WM_CLOSE)
            return 0;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->dispatch(msg, wp, lp);
}

} // namespace qm
