// Byte streams: the abstract TStream, memory streams, files and read-only views of resources.
// Errors are exceptions of the library (EReadError, EWriteError, EFOpenError, EResNotFound).
#pragma once

#include "ui/classes.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wl {

class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
    WL_CLASS(TStream, TObject)
public:
    // Reads up to `count` bytes; returns how many were read.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to `count` bytes; returns how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    // Exactly `count` bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies `count` bytes from `source` (0: all of it from its start).
    int64_t CopyFrom(TStream& source, int64_t count);
    // The rest of the stream from the current position.
    std::string ReadAll();
};

class TMemoryStream : public TStream {
    WL_CLASS(TMemoryStream, TStream)
public:
    TMemoryStream() = default;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t size) override;
    void Clear();
    const char* Memory() const { return data_.data(); }
    const std::string& Bytes() const { return data_; }
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

private:
    std::string data_;
    int64_t pos_ = 0;
};

enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A file opened with fmCreate (create or truncate) or fmOpenRead/Write/ReadWrite combined with a
// share mode. The file name is an ANSI text.
class TFileStream : public TStream {
    WL_CLASS(TFileStream, TStream)
public:
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return fileName_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::string fileName_;
};

// A read-only view of a resource of a module (RT_RCDATA by default).
class TResourceStream : public TStream {
    WL_CLASS(TResourceStream, TStream)
public:
    TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type = RT_RCDATA);
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }

private:
    const char* data_ = nullptr;
    int64_t size_ = 0;
    int64_t pos_ = 0;
};

// The system's text for an error code (FormatMessage), without the trailing line break.
std::string SysErrorMessage(DWORD error);

} // namespace wl
