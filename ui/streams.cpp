// Byte streams (see streams.h).
#include "ui/streams.h"

#include <algorithm>
#include <cstring>

namespace wl {

std::string SysErrorMessage(DWORD error) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result(text ? text : "", n);
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    if (result.empty()) result = "System error " + std::to_string(error);
    return result;
}

WL_DEFINE_ABSTRACT_CLASS(TStream, WL_NO_PROPERTIES)

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char buf[65536];
    int64_t done = 0;
    while (done < count) {
        int64_t n = std::min<int64_t>(sizeof buf, count - done);
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        done += n;
    }
    return done;
}

std::string TStream::ReadAll() {
    int64_t rest = Size() - Position();
    std::string bytes(static_cast<size_t>(std::max<int64_t>(rest, 0)), '\0');
    ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

// ---- memory ------------------------------------------------------------------------------------

WL_DEFINE_CLASS(TMemoryStream, WL_NO_PROPERTIES)

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    int64_t n = std::clamp<int64_t>(Size() - pos_, 0, std::max<int64_t>(count, 0));
    if (n) std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (pos_ + count > Size()) data_.resize(static_cast<size_t>(pos_ + count));
    std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : Size();
    if (base + offset < 0) throw EStreamError("Seek before the start of the stream");
    pos_ = base + offset;
    return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    pos_ = std::min(pos_, Size());
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    data_ = stream.ReadAll();
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TMemoryStream::SaveToStream(TStream& stream) {
    stream.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

// ---- files -------------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TFileStream, WL_NO_PROPERTIES)

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    DWORD disposition = OPEN_EXISTING;
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        share = FILE_SHARE_READ;
    } else {
        switch (mode & 3) {
        case fmOpenWrite: access = GENERIC_WRITE; break;
        case fmOpenReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
        default: break;
        }
        switch (mode & 0xF0) {
        case fmShareExclusive: share = 0; break;
        case fmShareDenyWrite: share = FILE_SHARE_READ; break;
        default: break;
        }
    }
    handle_ = CreateFileA(fileName.c_str(), access, share, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        throw EFOpenError((disposition == CREATE_ALWAYS ? "Cannot create file \"" : "Cannot open file \"") +
                          fileName + "\". " + SysErrorMessage(error));
    }
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    char* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < count) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(std::min<int64_t>(count - done, 1 << 30));
        if (!ReadFile(handle_, out + done, want, &n, nullptr) || n == 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    const char* in = static_cast<const char*>(buffer);
    int64_t done = 0;
    while (done < count) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(std::min<int64_t>(count - done, 1 << 30));
        if (!WriteFile(handle_, in + done, want, &n, nullptr) || n == 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    LARGE_INTEGER dist, pos;
    dist.QuadPart = offset;
    DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(handle_, dist, &pos, method))
        throw EStreamError(SysErrorMessage(GetLastError()));
    return pos.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
    int64_t pos = Position();
    Seek(size, soBeginning);
    if (!SetEndOfFile(handle_)) throw EWriteError(SysErrorMessage(GetLastError()));
    Seek(std::min(pos, size), soBeginning);
}

// ---- resources ---------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TResourceStream, WL_NO_PROPERTIES)

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type) {
    // A resource named by a number is written "#123".
    HRSRC info = FindResourceA(instance, name.c_str(), type);
    HGLOBAL loaded = info ? LoadResource(instance, info) : nullptr;
    if (!loaded) throw EResNotFound("Resource " + name + " not found");
    // Resources are mapped with the module and need no freeing.
    data_ = static_cast<const char*>(LockResource(loaded));
    size_ = SizeofResource(instance, info);
}

int64_t TResourceStream::Read(void* buffer, int64_t count) {
    int64_t n = std::clamp<int64_t>(size_ - pos_, 0, std::max<int64_t>(count, 0));
    if (n) std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EWriteError("Cannot write to a resource stream");
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : size_;
    if (base + offset < 0) throw EStreamError("Seek before the start of the stream");
    pos_ = base + offset;
    return pos_;
}

} // namespace wl
