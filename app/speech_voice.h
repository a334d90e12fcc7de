// The speech service as the dictionary uses it: one voice object, connected on first use to
// the instance already running (listed in the running object table) or else to a new one, kept
// for the life of its owner. Requests go through the ISpeaker seam so tests can stand in a
// recording double for the real service.
#pragma once

#include "app/com.h"

#include <sapi.h>

#include <string>

namespace wl {

class ISpeaker {
public:
    virtual ~ISpeaker() = default;
    // Queues one request; throws wl::Exception (EOleSysError) when the service fails.
    virtual void Speak(const std::wstring& text, int flags) = 0;
};

class SapiSpeaker : public ISpeaker {
public:
    void Speak(const std::wstring& text, int flags) override;
    bool Connected() const { return static_cast<bool>(voice_); }

private:
    void Connect();
    ComPtr<ISpeechVoice> voice_;
};

} // namespace wl
