// List views: skinned scroll bars (as for any scrollable control) plus a companion for the
// column header window, made by class name so that this file needs no header family.
#include "skin/controls/scrollbars.h"

#include <commctrl.h>

namespace wl {

WL_DEFINE_CLASS(TSkinListView, WL_NO_PROPERTIES)

TSkinListView::TSkinListView(TComponent* owner) : TSkinScrollbar(owner) {}

TSkinListView::~TSkinListView() {
    // The header companion belongs to this skinning; it goes with it.
    if (TSkinControl* header = FHeader) {
        FHeader = nullptr;
        header->RemoveFreeNotification(this);
        delete header;
    }
}

void TSkinListView::Notification(TComponent* component, TOperation operation) {
    TSkinScrollbar::Notification(component, operation);
    if (operation == opRemove && component == FHeader) FHeader = nullptr;
}

void TSkinListView::AttachScroll(TWinControl* control, TSkinData* data, TWinSkinForm* form, TCanvas* canvas) {
    TSkinScrollbar::AttachScroll(control, data, form, canvas);
    if (!FAttached || FHeader || !FHandle) return;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
    if (!header || !IsWindow(header)) return;
    FHeader = CreateCompanion("TSkinHeader", control);
    if (!FHeader) return; // header skinning not linked in: the header keeps its own look
    FHeader->FreeNotification(this);
    FHeader->AttachHandle(header, data, form, canvas);
}

} // namespace wl
