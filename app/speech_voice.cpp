// The speech service connection (see speech_voice.h).
#include "app/speech_voice.h"

#include "ui/system_proc.h"

namespace wl {

namespace {
// The system's import library does not carry the speech service's identifiers.
const CLSID kClsidSpVoice = {0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};
const IID kIidSpeechVoice = {0x269316d8, 0x57bd, 0x11d2, {0x9e, 0xee, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};
} // namespace

void SapiSpeaker::Connect() {
    if (voice_) return;
    // A running instance registered as the active object is joined; otherwise a new one is made.
    // The automation library is looked up here, when speech is first needed, not at start-up.
    static auto* const getActiveObject =
        SystemFunction<decltype(::GetActiveObject)>(L"oleaut32.dll", "GetActiveObject");
    ComPtr<IUnknown> running;
    if (getActiveObject && SUCCEEDED(getActiveObject(kClsidSpVoice, nullptr, running.Put())) &&
        SUCCEEDED(running.As(kIidSpeechVoice, voice_)))
        return;
    OleCheck(ComCreateInstance(kClsidSpVoice, CLSCTX_ALL, kIidSpeechVoice, voice_.PutVoid()));
}

void SapiSpeaker::Speak(const std::wstring& text, int flags) {
    if (!voice_) Connect();
    BStr request(text);
    LONG stream = 0;
    OleCheck(voice_->Speak(request.Get(), static_cast<SpeechVoiceSpeakFlags>(flags), &stream));
}

} // namespace wl
