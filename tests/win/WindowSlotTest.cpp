// Windows that exist at most once: when their objects are freed, and that their destroy handling runs.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "platform/BaseWindow.h"
#include "platform/WindowSlot.h"

namespace zapnix {
namespace {

constexpr UINT kCloseThroughSlot = WM_APP + 7;

struct Counts {
    int destroyHandled = 0;  // WM_DESTROY reached the window's handler
    int freed = 0;           // the object was deleted
    int freedWhileHandling = -1;
};

class SlotWindow : public BaseWindow<SlotWindow> {
public:
    static std::unique_ptr<SlotWindow> Create(Counts& counts, WindowSlot<SlotWindow>*& slot) {
        std::unique_ptr<SlotWindow> window(new SlotWindow(counts, slot));
        if (!window->CreateForm("ZapnixSlotTestWindow", nullptr, nullptr, 100, 50, {})) return nullptr;
        return window;
    }
    ~SlotWindow() override { ++counts_.freed; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kCloseThroughSlot) {
            // As when the program ends while this window's own message box is open.
            slot_->Close();
            counts_.freedWhileHandling = counts_.freed;
            return 0;
        }
        if (message == WM_DESTROY) ++counts_.destroyHandled;
        return DefaultHandling(message, wParam, lParam);
    }

private:
    SlotWindow(Counts& counts, WindowSlot<SlotWindow>*& slot) : counts_(counts), slot_(slot) {}
    Counts& counts_;
    WindowSlot<SlotWindow>*& slot_;
};

TEST(WindowSlot, AClosedWindowIsFreedAfterItsHandlerReturnsAndOneThatGoesWithItsSlotStillHandlesItsDestroy) {
    Counts counts;
    {
        WindowSlot<SlotWindow> slot;
        WindowSlot<SlotWindow>* self = &slot;
        const auto create = [&] { return SlotWindow::Create(counts, self); };
        SlotWindow* window = slot.Obtain(create);
        ASSERT_NE(window, nullptr);
        SendMessageA(window->Hwnd(), kCloseThroughSlot, 0, 0);
        EXPECT_EQ(counts.freedWhileHandling, 0) << "freed under its running handler";
        EXPECT_EQ(counts.destroyHandled, 1);
        EXPECT_EQ(slot.Get(), nullptr) << "the closed window is gone";
        EXPECT_EQ(counts.freed, 1) << "and freed once its handler has returned";
        ASSERT_NE(slot.Obtain(create), nullptr);
    }
    EXPECT_EQ(counts.destroyHandled, 2) << "a viewer destroyed by its owner must still save";
    EXPECT_EQ(counts.freed, 2);
}

}  // namespace
}  // namespace zapnix
