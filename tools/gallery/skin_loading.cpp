// Reading and checking skin archive files for the gallery (see skin_loading.h).
#include "tools/gallery/skin_loading.h"

#include "skin/archive/skin_reader.h"
#include "tools/gallery/recent_skins.h"
#include "ui/strconv.h"

#include <windows.h>
#include <shlobj.h>

namespace wl {
namespace {

// Far more than any skin; a larger file is not read into memory.
constexpr uint64_t kMaxSkinFileSize = 64u << 20;
constexpr uint64_t kMaxRecentFileSize = 64u << 10;

struct FileCloser {
    HANDLE h;
    ~FileCloser() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

std::string SystemText(DWORD error) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n && text ? std::string(text, n) : "error " + std::to_string(error);
    if (text) LocalFree(text);
    while (!s.empty() &&
           (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.'))
        s.pop_back();
    return s;
}

// The whole file, or the reason it could not be read; `busy` when opening failed in a way a
// later try may not.
bool ReadWholeFile(const std::string& path, uint64_t limit, std::string& bytes,
                   std::string& problem, bool& busy) {
    busy = false;
    // Shared with a writer that still holds the file: what it has written so far is read and
    // checked like any other content.
    FileCloser f{CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        busy = error != ERROR_ACCESS_DENIED && error != ERROR_INVALID_NAME;
        problem = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                      ? "the file does not exist"
                      : "the file cannot be opened: " + SystemText(error);
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.h, &size)) {
        problem = "the file cannot be read: " + SystemText(GetLastError());
        return false;
    }
    if (static_cast<uint64_t>(size.QuadPart) > limit) {
        problem =
            "not a skin archive: " + std::to_string(size.QuadPart) + " bytes is far too large";
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[65536];
    DWORD got = 0;
    while (bytes.size() <= limit) {
        if (!ReadFile(f.h, buffer, sizeof buffer, &got, nullptr)) {
            problem = "the file cannot be read: " + SystemText(GetLastError());
            return false;
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return true;
}

} // namespace

std::string SkinArchiveProblem(std::string_view bytes) {
    if (bytes.empty()) return "not a skin archive: the file is empty";
    TSkinReader reader;
    // Another version is a reason like any other here, not a message box.
    SkinMessageSink previous = SetSkinMessageSink(nullptr);
    const bool loaded = reader.LoadArchive(bytes);
    SetSkinMessageSink(std::move(previous));
    std::string error = reader.LastError();
    if (!loaded && error == kOlderSkinMessage)
        return "not a skin archive: its version is " + std::to_string(reader.Header().Version) +
               ", not " + std::to_string(TSkinReader::kVersion);
    // The reader's texts begin "Skin archive is damaged: …" or "Skin archive cannot …".
    for (std::string_view prefix : {"Skin archive is ", "Skin archive "}) {
        if (error.rfind(prefix, 0) != 0) continue;
        error.erase(0, prefix.size());
        break;
    }
    if (!loaded)
        return error.rfind("damaged", 0) == 0 ? error : "not a skin archive (" + error + ")";
    if (!error.empty()) return error; // loaded, but from data cut short
    std::string name;
    if (reader.GetEntryContaining(".ini", name).empty())
        return "not a skin archive: it holds no skin definition (no .ini entry)";
    return {};
}

TSkinFileRead ReadSkinArchiveFile(const std::string& path) {
    TSkinFileRead r;
    if (!ReadWholeFile(path, kMaxSkinFileSize, r.Bytes, r.Problem, r.Busy)) return r;
    r.Problem = SkinArchiveProblem(r.Bytes);
    r.Ok = r.Problem.empty();
    return r;
}

TFileStamp FileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    TFileStamp s;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return s;
    s.Exists = true;
    s.Written =
        uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    s.Size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    return s;
}

std::string DefaultRecentSkinsFile() {
    wchar_t folder[MAX_PATH] = {};
    std::wstring dir;
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        dir = folder;
    } else {
        const DWORD n = GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return {};
        dir = folder;
    }
    dir += L"\\Wordlark";
    CreateDirectoryW(dir.c_str(), nullptr); // already there is fine
    return WideToAnsi(dir + L"\\gallery-skins.ini");
}

std::vector<std::string> LoadRecentSkinsFile(const std::string& file) {
    std::string text, problem;
    bool busy = false;
    if (file.empty() || !ReadWholeFile(file, kMaxRecentFileSize, text, problem, busy)) return {};
    return ParseRecentSkins(text);
}

bool SaveRecentSkinsFile(const std::string& file, const std::vector<std::string>& paths) {
    if (file.empty()) return false;
    const std::string text = FormatRecentSkins(paths);
    FileCloser f{CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(f.h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace wl
