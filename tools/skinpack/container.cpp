// Skin container writer and packer commands (see container.h).
#include "tools/skinpack/container.h"

#include "skin/archive/lzh.h"
#include "skin/archive/skin_reader.h"
#include "tools/skinpack/lzh_encoder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace wl::skinpack {
namespace {

void PutLe32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Expanded container of an archive file, with its entries loaded and checked.
struct Loaded {
    std::vector<std::string> names; // as stored
    TSkinReader reader;
};

void Load(const std::string& archive, Loaded& l) {
    std::string container;
    try {
        container = TLZH().Expand(ReadFile(archive));
    } catch (const ElzhException& e) {
        throw std::runtime_error(archive + ": " + e.what());
    }
    if (!l.reader.LoadContainer(container)) {
        std::string why = l.reader.LastError();
        std::replace(why.begin(), why.end(), '\r', ' ');
        throw std::runtime_error(archive + ": " + why + " (version " +
                                 std::to_string(l.reader.Header().Version) + ")");
    }
    l.names = SkinContainerStoredNames(container);
}

// A stored name that can be written as a file name as it is.
bool UsableFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\t:\0", 5)) == std::string::npos &&
           Lower(name) != kManifestName;
}

} // namespace

std::string BuildSkinContainer(const std::vector<SkinEntry>& entries, int32_t version) {
    std::string list;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& name = entries[i].name;
        if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            throw std::invalid_argument("entry name with a line break or zero byte: " + name);
        if (i > 0) list += "\r\n";
        list += name;
    }
    if (!entries.empty() && entries.back().name.empty()) list += "\r\n";

    std::string c;
    PutLe32(c, static_cast<uint32_t>(version));
    PutLe32(c, static_cast<uint32_t>(list.size()));
    c.append(8, '\0');
    c += list;
    for (const SkinEntry& e : entries) {
        if (e.data.size() > 0xFFFFFFFFu) throw std::invalid_argument("entry too large: " + e.name);
        PutLe32(c, static_cast<uint32_t>(e.data.size()));
    }
    for (const SkinEntry& e : entries) c += e.data;
    return c;
}

std::vector<SkinEntry> ReadFolder(const std::string& dir) {
    std::vector<SkinEntry> entries;
    const fs::path root(dir);
    if (!fs::is_directory(root)) throw std::runtime_error(dir + " is not a folder");
    const fs::path manifest = root / std::string(kManifestName);
    if (fs::exists(manifest)) {
        std::istringstream lines(ReadFile(manifest));
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            size_t tab = line.rfind('\t');
            if (tab == std::string::npos)
                throw std::runtime_error(manifest.string() + ": line without a tab: " + line);
            std::string file = line.substr(tab + 1);
            if (file.empty() || file.find('/') != std::string::npos || file == "..")
                throw std::runtime_error(manifest.string() + ": bad file name: " + file);
            entries.push_back({line.substr(0, tab), ReadFile(root / file)});
        }
        return entries;
    }
    std::vector<std::string> files;
    for (const auto& item : fs::directory_iterator(root))
        if (item.is_regular_file()) files.push_back(item.path().filename().string());
    std::sort(files.begin(), files.end());
    for (const std::string& f : files) entries.push_back({f, ReadFile(root / f)});
    return entries;
}

void Pack(const std::string& dir, const std::string& archive) {
    std::string container;
    try {
        container = BuildSkinContainer(ReadFolder(dir));
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(e.what());
    }
    if (container.size() > TLZH::kDefaultMaxSize)
        throw std::runtime_error("the skin expands to " + std::to_string(container.size()) +
                                 " bytes, more than the program accepts (" +
                                 std::to_string(TLZH::kDefaultMaxSize) + ")");
    WriteFile(archive, LzhCompress(container));
}

void Unpack(const std::string& archive, const std::string& dir) {
    Loaded l;
    Load(archive, l);
    fs::create_directories(dir);
    const fs::path root(dir);
    std::set<std::string> used; // lower-cased, for case-insensitive file systems too
    std::string manifest;
    const std::string& data = l.reader.Data();
    size_t offset = 0;
    for (size_t i = 0; i < l.names.size(); ++i) {
        const std::string& name = l.names[i];
        std::string file = name;
        if (!UsableFileName(name) || used.count(Lower(name))) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "entry-%03zu.bin", i);
            file = buf;
        }
        used.insert(Lower(file));
        uint32_t size = l.reader.Sizes()[i];
        WriteFile(root / file, std::string_view(data).substr(offset, size));
        offset += size;
        manifest += name + "\t" + file + "\n";
    }
    WriteFile(root / std::string(kManifestName), manifest);
}

void List(const std::string& archive, std::ostream& out) {
    Loaded l;
    Load(archive, l);
    for (size_t i = 0; i < l.names.size(); ++i)
        out << l.reader.Sizes()[i] << '\t' << l.names[i] << '\n';
}

void Expand(const std::string& in, const std::string& out) {
    try {
        WriteFile(out, TLZH().Expand(ReadFile(in)));
    } catch (const ElzhException& e) {
        throw std::runtime_error(in + ": " + e.what());
    }
}

int Main(int argc, char** argv, std::ostream& out, std::ostream& err) {
    const char* usage = "usage: skinpack pack DIR OUT | unpack ARCHIVE DIR | list ARCHIVE | "
                        "expand IN OUT\n";
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "pack") Pack(args[1], args[2]);
        else if (args.size() == 3 && args[0] == "unpack") Unpack(args[1], args[2]);
        else if (args.size() == 2 && args[0] == "list") List(args[1], out);
        else if (args.size() == 3 && args[0] == "expand") Expand(args[1], args[2]);
        else {
            err << usage;
            return 2;
        }
    } catch (const std::exception& e) {
        err << "skinpack: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace wl::skinpack
