#include "capture/CaptureFrm.h"

#include <algorithm>
#include <new>
#include <optional>

#include "capture/BmpFile.h"
#include "capture/CaptureIds.h"
#include "platform/Dialogs.h"
#include "platform/FileIo.h"
#include "platform/SaveFileDialog.h"

namespace zapnix {
namespace {

using namespace ids::capture;

constexpr char kNothingToSave[] = "Please capture something before saving!";
constexpr char kNoFileName[] = "Please choose a file name if you wish to save this image!";
constexpr char kImageSaved[] = "Your image has been saved successfully!";

// The labels stand over the frame as siblings, not inside it: a group box paints no children. The
// large picture box is drawn by this window (owner-drawn static): the picture unscaled from its
// top-left corner, cut off where the box ends.
constexpr ControlSpec kLayout[] = {
    {Frame1, "Frame1", ControlKind::GroupBox, "Screen Capture Utility", 8, 8, 473, 57},
    {Label1, "Label1", ControlKind::Label,
     "You may capture and save your desktop or any open windows using this handy utility.", 16, 24, 457, 33},
    {Picture2, "Picture2", ControlKind::Picture, "", 8, 72, 33, 33},
    {Label2, "Label2", ControlKind::Label,
     "To capture a specific window, please click and drag the icon to the title bar of the window and release!", 48, 72,
     433, 33},
    {Label3, "Label3", ControlKind::Label,
     "To capture the entire desktop or to save your capture, please use these buttons.", 8, 116, 257, 33},
    {Command3, "Command3", ControlKind::Button, "Clear", 272, 116, 65, 25},
    {Command2, "Command2", ControlKind::Button, "Save", 344, 116, 65, 25},
    {Command1, "Command1", ControlKind::Button, "Screen", 416, 116, 65, 25},
    {Picture1, "Picture1", ControlKind::Label, "", 8, 152, 473, 290, SS_OWNERDRAW | SS_SUNKEN},
};

}  // namespace

std::unique_ptr<CaptureFrm> CaptureFrm::Create(HWND owner, HICON icon, HWND mainWindow) {
    std::unique_ptr<CaptureFrm> form(new CaptureFrm());
    if (!form->CreateForm(kCaptureClassName, icon, owner, kClientWidth, kClientHeight, kLayout)) return nullptr;
    form->mainWindow_ = mainWindow;
    SendDlgItemMessageA(form->Hwnd(), Picture2, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    CaptureFrm* self = form.get();
    self->dragIcon_.Attach(
        GetDlgItem(self->Hwnd(), Picture2), icon, [self](WindowHandle window) { self->OnDrop(window); },
        [self] { self->OnDragStart(); },
        // A drag that loses the mouse ends as a drop on nothing: no capture, both windows back.
        [self] { self->OnDrop(0); });
    return form;
}

void CaptureFrm::OnDragStart() {
    // Neither of the program's windows may cover the window the icon is dragged to.
    ShowWindow(Hwnd(), SW_MINIMIZE);
    if (mainWindow_) ShowWindow(mainWindow_, SW_HIDE);
}

void CaptureFrm::OnDrop(WindowHandle window) {
    if (window) CaptureDropped(reinterpret_cast<HWND>(window));
    // Shown whatever its state was before the drag, also when it was hidden in the notification area.
    if (mainWindow_) ShowWindow(mainWindow_, SW_SHOW);
    ShowWindow(Hwnd(), SW_RESTORE);
}

void CaptureFrm::CaptureDropped(HWND window) {
    RECT outer{};
    if (!GetWindowRect(window, &outer)) outer = RECT{};
    Show(CaptureWindow(window, false, 0, 0, outer.right - outer.left, outer.bottom - outer.top));
}

void CaptureFrm::Show(Picture picture) {
    // The earlier picture goes here, with its bitmap and palette.
    picture_ = std::move(picture);
    InvalidateRect(GetDlgItem(Hwnd(), Picture1), nullptr, TRUE);
}

void CaptureFrm::Clear() {
    Show(Picture{});
}

void CaptureFrm::Save() {
    if (!picture_.HasImage()) {
        ShowInformation(Hwnd(), kNothingToSave);
        return;
    }
    SaveFileRequest request;
    request.owner = Hwnd();
    request.filter = "Bitmap Image (*.bmp)|*.bmp|";
    request.defaultExtension = "BMP";
    const std::optional<std::string> path = AskSaveFileName(request);
    if (!path || path->empty()) {
        ShowInformation(Hwnd(), kNoFileName);
        return;
    }
    std::optional<std::string> bytes;
    try {
        if (const std::optional<BmpImage> image = ReadPicture(picture_)) bytes = EncodeBmp(*image);
    } catch (const std::bad_alloc&) {
        bytes.reset();
    }
    // A failed write must not be reported as saved; the file that was there stays as it was.
    if (!bytes || !ReplaceFileAtomically(*path, *bytes)) {
        ShowError(Hwnd(), "Your image could not be saved to " + *path + ".");
        return;
    }
    ShowInformation(Hwnd(), kImageSaved);
}

void CaptureFrm::DrawPicture(const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!picture_.HasImage()) return;
    BITMAP size{};
    GetObjectA(picture_.bitmap.Get(), sizeof(size), &size);
    const UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
    if (!memory) return;
    const PaletteSelection palette(item.hDC, picture_.palette.Get());
    if (picture_.palette) RealizePalette(item.hDC);
    const SelectionGuard bitmap(memory.Get(), picture_.bitmap.Get());
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top,
           std::min<LONG>(size.bmWidth, item.rcItem.right - item.rcItem.left),
           std::min<LONG>(size.bmHeight, item.rcItem.bottom - item.rcItem.top), memory.Get(), 0, 0, SRCCOPY);
}

void CaptureFrm::OnCommand(int id) {
    switch (id) {
        case Command1:
            Show(CaptureScreen());
            break;
        case Command2:
            Save();
            break;
        case Command3:
            Clear();
            break;
        default:
            break;
    }
}

LRESULT CaptureFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
            return 0;
        case WM_DRAWITEM:
            if (const DRAWITEMSTRUCT* item = DrawRequestFor(lParam, Picture1)) {
                DrawPicture(*item);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
