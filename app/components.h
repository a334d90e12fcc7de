// The non-visual components of the main window: the dictionary table (TADOTable, a component
// over the store's table facade) and the speech server component (TSpVoice, one voice object
// of the speech service behind the ISpeaker seam). Both publish the properties their form
// definition stores.
#pragma once

#include "app/speech_voice.h"
#include "store/ado_table.h"
#include "ui/classes.h"

#include <memory>
#include <string>

namespace wl {

enum TCursorLocation { clUseServer, clUseClient };
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum TADOLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };

// The dictionary table. Only reading is offered; the cursor settings are kept as stored (the
// store has one kind of cursor, a client-side keyset over the whole table).
class TADOTable : public TComponent {
    WL_CLASS(TADOTable, TComponent)
public:
    explicit TADOTable(TComponent* owner);

    std::string ConnectionString() const { return table_.ConnectionString(); }
    void SetConnectionString(const std::string& text) { table_.SetConnectionString(text); }
    std::string TableName() const { return table_.TableName(); }
    void SetTableName(const std::string& name) { table_.SetTableName(name); }
    TCursorLocation CursorLocation() const { return cursorLocation_; }
    void SetCursorLocation(TCursorLocation v) { cursorLocation_ = v; }
    TCursorType CursorType() const { return cursorType_; }
    void SetCursorType(TCursorType v) { cursorType_ = v; }
    TADOLockType LockType() const { return lockType_; }
    void SetLockType(TADOLockType v) { lockType_ = v; }
    bool TableDirect() const { return tableDirect_; }
    void SetTableDirect(bool on) { tableDirect_ = on; }
    // Setting Active while the form is read opens the table once reading is done.
    bool Active() const { return table_.Active(); }
    void SetActive(bool on);

    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    store::AdoTable& Table() { return table_; }

    void Loaded() override;

private:
    store::AdoTable table_;
    TCursorLocation cursorLocation_ = clUseClient;
    TCursorType cursorType_ = ctKeyset;
    TADOLockType lockType_ = ltOptimistic;
    bool tableDirect_ = false;
    bool openWhenLoaded_ = false;
};

enum TConnectKind { ckRunningOrNew, ckNewInstance, ckRunningInstance, ckRemote, ckAttachToInterface };

// One voice of the speech service. It does not connect until it is first used unless
// AutoConnect is set; requests are handed to the speaker in the ANSI code page's UTF-16 form.
class TSpVoice : public TComponent {
    WL_CLASS(TSpVoice, TComponent)
public:
    explicit TSpVoice(TComponent* owner);
    ~TSpVoice() override;

    bool AutoConnect() const { return autoConnect_; }
    void SetAutoConnect(bool on) { autoConnect_ = on; }
    // Only "running or new" is offered by the speaker; the others are kept as stored.
    TConnectKind ConnectKind() const { return connectKind_; }
    void SetConnectKind(TConnectKind kind) { connectKind_ = kind; }

    // Queues `ansiText` (system ANSI code page) with `flags`. Throws what the speaker throws.
    void Speak(const std::string& ansiText, int flags);

    // The speaker requests go to; a SapiSpeaker until a test stands in another one.
    ISpeaker& Speaker();
    void SetSpeaker(std::unique_ptr<ISpeaker> speaker) { speaker_ = std::move(speaker); }

    void Loaded() override;

private:
    bool autoConnect_ = true;
    TConnectKind connectKind_ = ckRunningOrNew;
    std::unique_ptr<ISpeaker> speaker_;
};

} // namespace wl
