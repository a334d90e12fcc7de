// Form definition reader and writer (grammar in formfile.h).
#include "ui/formfile.h"

#include "ui/strconv.h"
#include "ui/streams.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace wl {

namespace {

enum class Tok { End, Ident, Integer, String, Symbol, Binary };

struct Token {
    Tok kind = Tok::End;
    std::string text; // identifier, symbol, decimal integer text, ANSI string, raw bytes
    int line = 1;
};

// Splits the text into tokens, tracking line numbers for error messages.
class Lexer {
public:
    Lexer(const std::string& text, std::string formName) : s_(text), form_(std::move(formName)) {
        if (s_.size() >= 3 && s_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            utf8_ = true;
            pos_ = 3;
        }
    }

    Token Next() {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ >= s_.size()) return t;
        char c = s_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = pos_;
            while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
                ++pos_;
            t.kind = Tok::Ident;
            t.text = s_.substr(start, pos_ - start);
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
                   (c == '-' && pos_ + 1 < s_.size() &&
                    (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$'))) {
            size_t start = pos_++;
            while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            t.kind = Tok::Integer;
            std::string raw = s_.substr(start, pos_ - start);
            int32_t v = 0;
            if (!TryStrToInt(raw, v)) Fail(t.line, "'" + raw + "' is not a valid integer value");
            t.text = std::to_string(v);
        } else if (c == '\'' || c == '#') {
            t.kind = Tok::String;
            t.text = ReadString();
        } else if (c == '{') {
            t.kind = Tok::Binary;
            t.text = ReadBinary();
        } else {
            ++pos_;
            t.kind = Tok::Symbol;
            t.text = std::string(1, c);
        }
        return t;
    }

    [[noreturn]] void Fail(int line, const std::string& what) const {
        throw EFormError("Error reading form " + form_ + ", line " + std::to_string(line) + ": " + what);
    }

private:
    void SkipBlanks() {
        while (pos_ < s_.size() && static_cast<unsigned char>(s_[pos_]) <= ' ') {
            if (s_[pos_] == '\n') ++line_;
            ++pos_;
        }
    }

    std::string ReadString() {
        std::wstring value;
        int startLine = line_;
        for (;;) {
            if (pos_ < s_.size() && s_[pos_] == '\'') {
                ++pos_;
                std::string bytes;
                for (;;) {
                    if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r')
                        Fail(startLine, "unterminated string");
                    if (s_[pos_] == '\'') {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                            bytes += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    bytes += s_[pos_++];
                }
                value += utf8_ ? Utf8ToWide(bytes) : AnsiToWide(bytes);
            } else if (pos_ < s_.size() && s_[pos_] == '#') {
                ++pos_;
                size_t start = pos_;
                while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
                std::string digits = s_.substr(start, pos_ - start);
                if (digits.empty() || digits.size() > 5 || std::stoi(digits) > 0xFFFF)
                    Fail(line_, "invalid character code #" + digits);
                value += static_cast<wchar_t>(std::stoi(digits));
            } else {
                // A "+" continues the string on the next line.
                size_t save = pos_;
                int saveLine = line_;
                SkipBlanks();
                if (pos_ < s_.size() && s_[pos_] == '+') {
                    ++pos_;
                    SkipBlanks();
                    if (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) continue;
                    Fail(line_, "string expected after '+'");
                }
                pos_ = save;
                line_ = saveLine;
                break;
            }
        }
        return WideToAnsi(value);
    }

    // The value of a hexadecimal digit, -1 for other characters. A table rather than the
    // library's character classes, which go through the locale for each of the tens of
    // thousands of digits of an embedded skin.
    static int HexDigit(unsigned char c) {
        if (c >= '0' && c <= '9') return c - '0';
        c = static_cast<unsigned char>(c | 0x20);
        return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    }

    std::string ReadBinary() {
        int startLine = line_;
        ++pos_; // '{'
        const size_t close = s_.find('}', pos_);
        if (close == std::string::npos) Fail(startLine, "unterminated binary value");
        std::string bytes;
        bytes.reserve((close - pos_) / 2);
        int pending = -1;
        for (; pos_ < close; ++pos_) {
            const auto c = static_cast<unsigned char>(s_[pos_]);
            if (c == '\n') ++line_;
            if (c <= ' ') continue;
            const int d = HexDigit(c);
            if (d < 0) Fail(line_, "invalid binary value");
            if (pending < 0) pending = d;
            else {
                bytes += static_cast<char>(pending * 16 + d);
                pending = -1;
            }
        }
        ++pos_; // '}'
        if (pending >= 0) Fail(line_, "odd number of hexadecimal digits in binary value");
        return bytes;
    }

    const std::string& s_;
    std::string form_;
    size_t pos_ = 0;
    int line_ = 1;
    bool utf8_ = false;
};

class Reader {
public:
    Reader(const std::string& text, const std::string& formName) : lex_(text, formName) { Advance(); }

    // Reads the root header and body into `root` (or creates it when null).
    TComponent* Read(TComponent* root, TComponent* owner) {
        Header h = ReadHeader();
        std::unique_ptr<TComponent> created;
        if (!root) {
            created.reset(Create(h, owner));
            root = created.get();
        } else if (!root->InheritsFrom(h.className)) {
            lex_.Fail(h.line, "the form is a " + root->ClassName() + ", not a " + h.className);
        }
        root_ = root;
        if (!h.name.empty()) Guard(h.line, "Name", [&] { root->SetName(h.name); });
        ReadBody(*root);
        if (cur_.kind != Tok::End) lex_.Fail(cur_.line, "text after the end of the form");
        // References name components that may come later in the text: set them once all exist.
        for (const Fixup& f : fixups_)
            Guard(f.line, f.path, [&] { SetPropertyText(*f.component, f.path, f.name); });
        for (TComponent* c : loaded_) c->Loaded();
        return created.release();
    }

private:
    struct Header {
        std::string name, className;
        int line = 0;
    };

    void Advance() { cur_ = lex_.Next(); }

    bool IsIdent(const char* word) const { return cur_.kind == Tok::Ident && SameText(cur_.text, word); }

    void Expect(const char* symbol) {
        if (cur_.kind != Tok::Symbol || cur_.text != symbol)
            lex_.Fail(cur_.line, std::string("'") + symbol + "' expected");
        Advance();
    }

    std::string ExpectIdent(const char* what) {
        if (cur_.kind != Tok::Ident) {
            std::string message = what;
            message += " expected";
            lex_.Fail(cur_.line, message);
        }
        std::string s = cur_.text;
        Advance();
        return s;
    }

    Header ReadHeader() {
        if (!IsIdent("object") && !IsIdent("inherited")) lex_.Fail(cur_.line, "'object' expected");
        Header h;
        h.line = cur_.line;
        Advance();
        std::string first = ExpectIdent("name or class name");
        if (cur_.kind == Tok::Symbol && cur_.text == ":") {
            Advance();
            h.name = first;
            h.className = ExpectIdent("class name");
        } else {
            h.className = first;
        }
        return h;
    }

    template <class F>
    void Guard(int line, const std::string& prop, F&& f) {
        try {
            f();
        } catch (const EFormError&) {
            throw;
        } catch (const std::exception& e) {
            lex_.Fail(line, "property " + prop + ": " + e.what());
        }
    }

    TComponent* Create(const Header& h, TComponent* owner) {
        const TClassInfo* info = FindClass(h.className);
        if (!info) lex_.Fail(h.line, "class " + h.className + " not found");
        if (!info->create || !info->InheritsFrom(TComponent::StaticClass()))
            lex_.Fail(h.line, "class " + h.className + " cannot be created here");
        TComponent* c = nullptr;
        Guard(h.line, "Name", [&] { c = static_cast<TComponent*>(info->create(owner)); });
        return c;
    }

    void ReadBody(TComponent& comp) {
        comp.BeginLoading();
        loaded_.push_back(&comp);
        while (cur_.kind == Tok::Ident && !IsIdent("object") && !IsIdent("inherited") && !IsIdent("end"))
            ReadProperty(comp);
        while (IsIdent("object") || IsIdent("inherited")) ReadChild(comp);
        if (!IsIdent("end")) lex_.Fail(cur_.line, "'end' expected");
        Advance();
    }

    void ReadChild(TComponent& parent) {
        Header h = ReadHeader();
        TComponent* child = Create(h, root_);
        // Loading from the start: reactions to the parent (fonts, sizes) wait for Loaded.
        child->BeginLoading();
        Guard(h.line, "Name", [&] {
            child->SetName(h.name);
            if (!h.name.empty())
                if (const TFieldInfo* f = root_->ClassInfo().FindField(h.name))
                    if (!f->assign(*root_, child))
                        throw EPropertyError("field " + h.name + " is not of class " + h.className);
            child->SetParentComponent(&parent);
        });
        ReadBody(*child);
    }

    void ReadProperty(TObject& comp) {
        int line = cur_.line;
        std::string path = cur_.text;
        Advance();
        while (cur_.kind == Tok::Symbol && cur_.text == ".") {
            Advance();
            path += '.';
            path += ExpectIdent("property name");
        }
        Expect("=");
        if (cur_.kind == Tok::Symbol && cur_.text == "<") {
            ReadCollection(comp, path, line);
            return;
        }
        Token value = cur_;
        std::vector<std::string> items;
        if (value.kind == Tok::Symbol && value.text == "[") {
            Advance();
            std::string set = "[";
            while (cur_.kind == Tok::Ident) {
                if (set.size() > 1) set += ", ";
                set += cur_.text;
                Advance();
                if (cur_.kind == Tok::Symbol && cur_.text == ",") Advance();
                else break;
            }
            if (cur_.kind != Tok::Symbol || cur_.text != "]") lex_.Fail(cur_.line, "']' expected");
            value.text = set + "]";
        } else if (value.kind == Tok::Symbol && value.text == "(") {
            Advance();
            while (cur_.kind == Tok::String) {
                items.push_back(cur_.text);
                Advance();
            }
            if (cur_.kind != Tok::Symbol || cur_.text != ")") lex_.Fail(cur_.line, "')' expected");
        } else if (value.kind == Tok::Symbol || value.kind == Tok::End) {
            lex_.Fail(line, "property " + path + ": value expected");
        }
        Advance();
        Guard(line, path, [&] { Assign(comp, path, value, items); });
    }

    // `path = < item Prop = value ... end item ... end >`: replaces the collection's items.
    void ReadCollection(TObject& owner, const std::string& path, int line) {
        Advance(); // '<'
        TCollection* collection = nullptr;
        Guard(line, path, [&] {
            if (PropKind(owner, path) == TPropKind::Class)
                collection = dynamic_cast<TCollection*>(GetObjectProperty(owner, path));
            if (!collection) throw EPropertyError("Property " + path + " is not a collection");
        });
        collection->BeginUpdate();
        try {
            collection->Clear();
            while (IsIdent("item")) {
                Advance();
                TCollectionItem* item = collection->Add();
                while (cur_.kind == Tok::Ident && !IsIdent("end")) ReadProperty(*item);
                if (!IsIdent("end")) lex_.Fail(cur_.line, "'end' expected");
                Advance();
            }
            Expect(">");
        } catch (...) {
            collection->EndUpdate();
            throw;
        }
        Guard(line, path, [&] { collection->EndUpdate(); });
    }

    void Assign(TObject& comp, const std::string& path, const Token& value,
                const std::vector<std::string>& items) {
        if (value.kind == Tok::Binary) {
            size_t dot = path.rfind('.');
            TObject* target = &comp;
            if (dot != std::string::npos) target = GetObjectProperty(comp, path.substr(0, dot));
            auto* persistent = dynamic_cast<TPersistent*>(target);
            std::string name = dot == std::string::npos ? path : path.substr(dot + 1);
            if (!persistent || !persistent->ReadBinaryProperty(name, value.text))
                throw EPropertyError("Property " + path + " does not exist");
            return;
        }
        TPropKind kind = PropKind(comp, path);
        bool isSet = value.kind == Tok::Symbol && value.text.front() == '[';
        bool isList = value.kind == Tok::Symbol && value.text == "(";
        bool ok = false;
        switch (kind) {
        case TPropKind::Integer: ok = value.kind == Tok::Integer; break;
        case TPropKind::Boolean:
        case TPropKind::Enumeration: ok = value.kind == Tok::Ident; break;
        case TPropKind::String: ok = value.kind == Tok::String; break;
        case TPropKind::Set: ok = isSet; break;
        case TPropKind::Color: ok = value.kind == Tok::Ident || value.kind == Tok::Integer; break;
        case TPropKind::Method:
        case TPropKind::Ident: ok = value.kind == Tok::Ident; break;
        case TPropKind::StringList: ok = isList; break;
        case TPropKind::Class: ok = false; break;
        }
        if (!ok) throw EPropertyError("Invalid property value");
        if (kind == TPropKind::Method) SetMethodProperty(comp, path, *root_, value.text);
        else if (kind == TPropKind::Ident) fixups_.push_back({&comp, path, value.text, value.line});
        else if (kind == TPropKind::StringList) SetStringListProperty(comp, path, items);
        else SetPropertyText(comp, path, value.text);
    }

    struct Fixup {
        TObject* component; // a component or a collection item
        std::string path, name;
        int line;
    };

    Lexer lex_;
    Token cur_;
    TComponent* root_ = nullptr;
    std::vector<TComponent*> loaded_;
    std::vector<Fixup> fixups_;
};

// ---- writer ------------------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(TComponent& root) : root_(root) {}

    std::string Write() {
        WriteComponent(root_, 0);
        return out_;
    }

private:
    void Line(int indent, const std::string& text) {
        out_.append(static_cast<size_t>(indent) * 2, ' ');
        out_ += text;
        out_ += "\r\n";
    }

    static std::string Hex(const std::string& bytes, size_t from, size_t count) {
        static const char digits[] = "0123456789ABCDEF";
        std::string h;
        for (size_t i = from; i < from + count && i < bytes.size(); ++i) {
            auto b = static_cast<unsigned char>(bytes[i]);
            h += digits[b >> 4];
            h += digits[b & 15];
        }
        return h;
    }

    void WriteBinary(int indent, const std::string& name, const std::string& bytes) {
        if (bytes.empty()) {
            Line(indent, name + " = {}");
            return;
        }
        Line(indent, name + " = {");
        for (size_t i = 0; i < bytes.size(); i += 32) {
            std::string h = Hex(bytes, i, 32);
            if (i + 32 >= bytes.size()) h += "}";
            Line(indent + 1, h);
        }
    }

    // Writes the properties of `obj` that differ from `fresh` (same class; may be null).
    void WriteProperties(TObject& obj, TObject* fresh, const std::string& prefix, int indent) {
        for (const TPropInfo* p : obj.ClassInfo().AllProperties()) {
            if (prefix.empty() && SameText(p->name, "Name")) continue;
            std::string name = prefix + p->name;
            switch (p->kind) {
            case TPropKind::Class: {
                TPersistent* nested = p->getObject(obj);
                TObject* freshNested = fresh ? p->getObject(*fresh) : nullptr;
                if (auto* collection = dynamic_cast<TCollection*>(nested)) {
                    WriteCollection(*collection, name, indent);
                } else if (nested) {
                    WriteProperties(*nested, freshNested && &freshNested->ClassInfo() == &nested->ClassInfo()
                                                 ? freshNested
                                                 : nullptr,
                                    name + ".", indent);
                    WriteBinaries(*nested, name + ".", indent);
                }
                break;
            }
            case TPropKind::Method: {
                std::string m = p->getMethodName(obj);
                if (!m.empty()) Line(indent, name + " = " + m);
                break;
            }
            case TPropKind::StringList: {
                auto lines = p->getList(obj);
                if (fresh && p->getList(*fresh) == lines) break;
                if (lines.empty() && !fresh) break;
                Line(indent, name + (lines.empty() ? " = ()" : " = ("));
                for (size_t i = 0; i < lines.size(); ++i)
                    Line(indent + 1, QuoteFormString(lines[i]) + (i + 1 == lines.size() ? ")" : ""));
                break;
            }
            default: {
                if (!p->setText) break;
                std::string text = p->getText(obj);
                if (fresh && p->getText(*fresh) == text) break;
                Line(indent, name + " = " + (p->kind == TPropKind::String ? QuoteFormString(text) : text));
                break;
            }
            }
        }
    }

    // Items with the properties that differ from a fresh item; an empty collection is left out.
    void WriteCollection(TCollection& collection, const std::string& name, int indent) {
        if (collection.Count() == 0) return;
        Line(indent, name + " = <");
        for (int i = 0; i < collection.Count(); ++i) {
            TCollectionItem* item = collection.Items(i);
            std::unique_ptr<TObject> fresh(collection.ItemClass().create(nullptr));
            Line(indent + 1, "item");
            WriteProperties(*item, fresh.get(), "", indent + 2);
            Line(indent + 1, i + 1 == collection.Count() ? "end>" : "end");
        }
    }

    void WriteBinaries(TObject& obj, const std::string& prefix, int indent) {
        auto* persistent = dynamic_cast<TPersistent*>(&obj);
        if (!persistent) return;
        std::vector<std::pair<std::string, std::string>> binaries;
        persistent->WriteBinaryProperties(binaries);
        for (const auto& [name, bytes] : binaries) WriteBinary(indent, prefix + name, bytes);
    }

    TComponent* TreeParent(TComponent* c) {
        TComponent* p = c->GetParentComponent();
        return p ? p : &root_;
    }

    void WriteComponent(TComponent& comp, int indent) {
        std::string header = "object ";
        if (!comp.Name().empty()) header += comp.Name() + ": ";
        Line(indent, header + comp.ClassName());
        std::unique_ptr<TObject> fresh;
        if (comp.ClassInfo().create) fresh.reset(comp.ClassInfo().create(nullptr));
        WriteProperties(comp, fresh.get(), "", indent + 1);
        WriteBinaries(comp, "", indent + 1);
        fresh.reset();
        std::vector<TComponent*> children;
        if (comp.GetChildComponents(children)) {
            for (TComponent* c : children)
                if (c->Owner() == &root_) WriteComponent(*c, indent + 1);
        } else {
            for (int i = 0; i < root_.ComponentCount(); ++i) {
                TComponent* c = root_.Components(i);
                if (c != &comp && TreeParent(c) == &comp) WriteComponent(*c, indent + 1);
            }
        }
        Line(indent, "end");
    }

    TComponent& root_;
    std::string out_;
};

} // namespace

std::string QuoteFormString(const std::string& ansi) {
    std::wstring wide = AnsiToWide(ansi);
    std::string out;
    bool quoted = false;
    for (wchar_t ch : wide) {
        if (ch >= 32 && ch < 127) {
            if (!quoted) out += '\'';
            quoted = true;
            out += static_cast<char>(ch);
            if (ch == '\'') out += '\'';
        } else {
            if (quoted) out += '\'';
            quoted = false;
            out += '#';
            out += std::to_string(static_cast<unsigned>(ch));
        }
    }
    if (quoted) out += '\'';
    if (out.empty()) out = "''";
    return out;
}

void ReadComponentText(TComponent& root, const std::string& text, const std::string& formName) {
    Reader(text, formName).Read(&root, nullptr);
}

TComponent* CreateComponentFromText(const std::string& text, TComponent* owner,
                                    const std::string& formName) {
    return Reader(text, formName).Read(nullptr, owner);
}

std::string WriteComponentText(TComponent& root) { return Writer(root).Write(); }

bool ReadComponentResource(TComponent& root, HINSTANCE instance, const std::string& resourceName) {
    if (!FindResourceA(instance, resourceName.c_str(), RT_RCDATA)) return false;
    TResourceStream stream(instance, resourceName);
    ReadComponentText(root, stream.ReadAll(), resourceName);
    return true;
}

} // namespace wl
