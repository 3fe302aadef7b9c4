#include "app/AboutFrm.h"

#include "ZapnixVersion.h"
#include "app/AboutIds.h"
#include "app/AboutLettering.h"
#include "app/resources/resource.h"
#include "platform/Trace.h"

namespace zapnix {
namespace {

using namespace ids::about;

constexpr ControlSpec kLayout[] = {
    {AboutPic, "AboutPic", ControlKind::Painted, "", 24, 16, 281, 185},
};

}  // namespace

std::vector<AboutFrm::PictureLine> AboutFrm::Lettering() {
    return {{"Zapnix Popup Killer", 118, RGB(255, 255, 255)},
            {std::string("Version ") + kVersionText, 148, RGB(200, 200, 200)}};
}

std::unique_ptr<AboutFrm> AboutFrm::Create(HWND owner, HICON icon) {
    std::unique_ptr<AboutFrm> frm(new AboutFrm());
    frm->background_.Reset(CreateSolidBrush(kBackground));
    frm->picture_.Reset(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    // Without its picture the box is still the program's About box: plain dark grey.
    if (frm->picture_)
        frm->LetterPicture();
    else
        TraceFailure("the About picture could not be loaded");
    if (!frm->CreateForm(kAboutClassName, icon, owner, kClientWidth, kClientHeight, kLayout)) return nullptr;
    return frm;
}

void AboutFrm::Show() {
    if (!IsWindowVisible(Hwnd())) CentreOnScreen(Hwnd());
    Bring();
}

void AboutFrm::LetterPicture() {
    const UniqueMemoryDc canvas(CreateCompatibleDC(nullptr));
    if (!canvas) return;
    const SelectionGuard selected(canvas.Get(), picture_.Get());
    for (const PictureLine& line : Lettering()) {
        const UniqueGdi<HBRUSH> paint(CreateSolidBrush(line.colour));
        for (const LetterCell& cell : LetterCells(line.text, line.top)) {
            const RECT square{cell.left, cell.top, cell.left + kLetterCellSize, cell.top + kLetterCellSize};
            FillRect(canvas.Get(), &square, paint.Get());
        }
    }
}

void AboutFrm::DrawPicture(const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, background_.Get());
    BITMAP size{};
    if (!picture_ || !GetObjectA(picture_.Get(), sizeof(size), &size)) return;
    const UniqueMemoryDc source(CreateCompatibleDC(item.hDC));
    if (!source) return;
    const SelectionGuard selected(source.Get(), picture_.Get());
    // In the picture box's top-left corner, as large as the display's scale makes the box; whole pixels
    // keep the drawn lettering sharp.
    const DpiScale scale = DpiScale::ForWindow(item.hwndItem);
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, scale(size.bmWidth), scale(size.bmHeight), source.Get(),
               0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
}

LRESULT AboutFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(Hwnd(), &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background_.Get());
            return 1;
        }
        case WM_DRAWITEM:
            if (const DRAWITEMSTRUCT* item = DrawRequestFor(lParam, AboutPic)) {
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
