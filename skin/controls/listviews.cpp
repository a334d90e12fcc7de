// List views: skinned scroll bars (as for any scrollable control) plus a companion for the
// column header window, made by class name so that this file needs no header family.
#include "skin/controls/scrollbars.h"

#include <commctrl.h>

namespace wl {

WL_DEFINE_CLASS(TSkinListView, WL_NO_PROPERTIES)

TSkinListView::TSkinListView(TComponent* owner) : TSkinScrollbar(owner) {}

TSkinListView::~TSkinListView() {
    // The header companion belongs to this skinning; it goes with it, before this is taken apart.
    FHeader.reset();
}

void TSkinListView::Notification(TComponent* component, TOperation operation) {
    TSkinScrollbar::Notification(component, operation);
}

bool TSkinListView::OnAttach(const TAttachContext& context) {
    if (!TSkinScrollbar::OnAttach(context)) return false;
    if (context.Kind != TAttachKind::Control && context.Kind != TAttachKind::Scroll) return true;
    if (FHeader || !FHandle) return true;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
    if (!header || !IsWindow(header)) return true;
    // Owned here only: no component owner.
    FHeader.reset(CreateCompanion("TSkinHeader", nullptr));
    if (!FHeader) return true; // header skinning not linked in: the header keeps its own look
    FHeader->Attach(TAttachContext::ForWindow(header, context.Form, context.Data, context.Canvas));
    return true;
}

} // namespace wl
