// The main window's non-visual components (see components.h).
#include "app/components.h"

#include "ui/forms.h"
#include "ui/strconv.h"

namespace wl {

WL_DEFINE_CLASS(TADOTable, [](ClassBuilder<TADOTable>& c) {
    c.Bool("Active", &TADOTable::Active, &TADOTable::SetActive);
    c.Str("ConnectionString", &TADOTable::ConnectionString, &TADOTable::SetConnectionString);
    c.Enum("CursorLocation", &TADOTable::CursorLocation, &TADOTable::SetCursorLocation,
           {{"clUseServer", clUseServer}, {"clUseClient", clUseClient}});
    c.Enum("CursorType", &TADOTable::CursorType, &TADOTable::SetCursorType,
           {{"ctUnspecified", ctUnspecified}, {"ctOpenForwardOnly", ctOpenForwardOnly},
            {"ctKeyset", ctKeyset}, {"ctDynamic", ctDynamic}, {"ctStatic", ctStatic}});
    c.Enum("LockType", &TADOTable::LockType, &TADOTable::SetLockType,
           {{"ltUnspecified", ltUnspecified}, {"ltReadOnly", ltReadOnly}, {"ltPessimistic", ltPessimistic},
            {"ltOptimistic", ltOptimistic}, {"ltBatchOptimistic", ltBatchOptimistic}});
    c.Bool("TableDirect", &TADOTable::TableDirect, &TADOTable::SetTableDirect);
    c.Str("TableName", &TADOTable::TableName, &TADOTable::SetTableName);
})

TADOTable::TADOTable(TComponent* owner) : TComponent(owner) {}

void TADOTable::SetActive(bool on) {
    if (IsLoading()) {
        openWhenLoaded_ = on;
        return;
    }
    if (on == table_.Active()) return;
    if (on) table_.Open();
    else table_.Close();
}

void TADOTable::Loaded() {
    TComponent::Loaded();
    if (!openWhenLoaded_) return;
    openWhenLoaded_ = false;
    try {
        table_.Open();
    } catch (...) {
        // The form is still being built: report the store's error and leave the table closed.
        Application->HandleException(this);
    }
}

WL_DEFINE_CLASS(TSpVoice, [](ClassBuilder<TSpVoice>& c) {
    c.Bool("AutoConnect", &TSpVoice::AutoConnect, &TSpVoice::SetAutoConnect);
    c.Enum("ConnectKind", &TSpVoice::ConnectKind, &TSpVoice::SetConnectKind,
           {{"ckRunningOrNew", ckRunningOrNew}, {"ckNewInstance", ckNewInstance},
            {"ckRunningInstance", ckRunningInstance}, {"ckRemote", ckRemote},
            {"ckAttachToInterface", ckAttachToInterface}});
})

TSpVoice::TSpVoice(TComponent* owner) : TComponent(owner) {}
TSpVoice::~TSpVoice() = default;

ISpeaker& TSpVoice::Speaker() {
    if (!speaker_) speaker_ = std::make_unique<SapiSpeaker>();
    return *speaker_;
}

void TSpVoice::Speak(const std::string& ansiText, int flags) {
    OleNeeded();
    Speaker().Speak(AnsiToWide(ansiText), flags);
}

void TSpVoice::Loaded() {
    TComponent::Loaded();
    if (!autoConnect_) return;
    try {
        OleNeeded();
        if (auto* sapi = dynamic_cast<SapiSpeaker*>(&Speaker())) sapi->Connect();
    } catch (...) {
        Application->HandleException(this);
    }
}

} // namespace wl
