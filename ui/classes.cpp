// Class descriptors, the class registry, property access by name, TComponent and string lists.
#include "ui/classes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace wl {

namespace {

std::string Lower(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

std::map<std::string, const TClassInfo*>& Registry() {
    static std::map<std::string, const TClassInfo*> registry;
    return registry;
}

TColorIdentHooks g_colorHooks;

} // namespace

// ---- descriptors -------------------------------------------------------------------------------

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        if (c == &other) return true;
    return false;
}

bool TClassInfo::InheritsFrom(std::string_view className) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        if (SameText(c->name, className)) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view propName) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        for (const auto& p : c->properties)
            if (SameText(p.name, propName)) return &p;
    return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view methodName) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        for (const auto& m : c->methods)
            if (SameText(m.name, methodName)) return &m;
    return nullptr;
}

const TFieldInfo* TClassInfo::FindField(std::string_view fieldName) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        for (const auto& f : c->fields)
            if (SameText(f.name, fieldName)) return &f;
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c; c = c->parent) chain.push_back(c);
    std::vector<const TPropInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const auto& p : (*it)->properties) {
            // A descendant may redeclare a property; the most derived declaration wins.
            auto same = std::find_if(result.begin(), result.end(),
                                     [&](const TPropInfo* q) { return SameText(q->name, p.name); });
            if (same != result.end()) *same = &p;
            else result.push_back(&p);
        }
    return result;
}

void RegisterClass(const TClassInfo& info) { Registry()[Lower(info.name)] = &info; }

const TClassInfo* FindClass(std::string_view name) {
    auto it = Registry().find(Lower(name));
    return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& GetClass(std::string_view name) {
    const TClassInfo* info = FindClass(name);
    if (!info) throw EClassNotFound("Class " + std::string(name) + " not found");
    return *info;
}

TObject* CreateObjectByName(std::string_view className, TComponent* owner) {
    const TClassInfo& info = GetClass(className);
    if (!info.create) throw EClassNotFound("Class " + info.name + " cannot be created");
    return info.create(owner);
}

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo i;
        i.name = "TObject";
        return i;
    }();
    return info;
}

// ---- text conversions of property values -------------------------------------------------------

void SetColorIdentHooks(const TColorIdentHooks& hooks) { g_colorHooks = hooks; }

std::string ColorToText(int32_t color) {
    std::string ident;
    if (g_colorHooks.colorToIdent && g_colorHooks.colorToIdent(color, ident)) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
    return buf;
}

int32_t TextToColor(const std::string& text) {
    int32_t color = 0;
    if (g_colorHooks.identToColor && g_colorHooks.identToColor(text, color)) return color;
    if (!TryStrToInt(text, color))
        throw EConvertError("'" + text + "' is not a valid color value");
    return color;
}

namespace detail {

std::string IntToText(int64_t v) { return std::to_string(v); }

int64_t TextToInt(const std::string& text) { return StrToInt(text); }

std::string BoolToText(bool v) { return v ? "True" : "False"; }

bool TextToBool(const std::string& text) {
    if (SameText(text, "True")) return true;
    if (SameText(text, "False")) return false;
    throw EConvertError("'" + text + "' is not a valid boolean value");
}

std::string EnumToText(const std::vector<TEnumMember>& members, int64_t v) {
    for (const auto& m : members)
        if (m.value == v) return m.name;
    return std::to_string(v);
}

int64_t TextToEnum(const std::vector<TEnumMember>& members, const std::string& propName,
                   const std::string& text) {
    for (const auto& m : members)
        if (SameText(m.name, text)) return m.value;
    throw EPropertyError("Invalid property value '" + text + "' for " + propName);
}

std::string SetToText(const std::vector<TEnumMember>& members, uint64_t v) {
    std::string r = "[";
    for (const auto& m : members)
        if (m.value && (v & static_cast<uint64_t>(m.value)) == static_cast<uint64_t>(m.value)) {
            if (r.size() > 1) r += ", ";
            r += m.name;
        }
    return r + "]";
}

uint64_t TextToSet(const std::vector<TEnumMember>& members, const std::string& propName,
                   const std::string& text) {
    std::string t = Trim(text);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        throw EPropertyError("Invalid set value '" + text + "' for " + propName);
    uint64_t result = 0;
    std::string body = t.substr(1, t.size() - 2);
    size_t start = 0;
    while (start <= body.size()) {
        size_t comma = body.find(',', start);
        std::string item = Trim(body.substr(start, comma == std::string::npos ? std::string::npos
                                                                              : comma - start));
        if (item.empty()) {
            if (comma != std::string::npos || start != 0 || !Trim(body).empty())
                throw EPropertyError("Invalid set value '" + text + "' for " + propName);
        } else {
            result |= static_cast<uint64_t>(TextToEnum(members, propName, item));
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return result;
}

void ThrowEventMismatch(const std::string& propName, const std::string& methodName) {
    throw EPropertyError("Method " + methodName + " does not match the event " + propName);
}

} // namespace detail

// ---- property access by name -------------------------------------------------------------------

const TPropInfo& GetPropInfo(const TObject& obj, std::string_view propName) {
    const TPropInfo* p = obj.ClassInfo().FindProperty(propName);
    if (!p) throw EPropertyError("Property " + std::string(propName) + " does not exist");
    return *p;
}

namespace {

// Resolves "A.B.C" to the object holding C and C's descriptor.
std::pair<TObject*, const TPropInfo*> Resolve(const TObject& root, std::string_view path) {
    TObject* obj = const_cast<TObject*>(&root);
    for (;;) {
        size_t dot = path.find('.');
        std::string_view head = path.substr(0, dot);
        const TPropInfo& p = GetPropInfo(*obj, head);
        if (dot == std::string_view::npos) return {obj, &p};
        if (p.kind != TPropKind::Class)
            throw EPropertyError("Property " + std::string(head) + " has no nested properties");
        TObject* next = p.getObject(*obj);
        if (!next) throw EPropertyError("Property " + std::string(head) + " is not assigned");
        obj = next;
        path = path.substr(dot + 1);
    }
}

[[noreturn]] void WrongKind(const TPropInfo& p, const char* what) {
    throw EPropertyError("Property " + p.name + " is not " + what);
}

} // namespace

bool IsPublishedProp(const TObject& obj, std::string_view path) {
    try {
        Resolve(obj, path);
        return true;
    } catch (const EPropertyError&) {
        return false;
    }
}

TPropKind PropKind(const TObject& obj, std::string_view path) { return Resolve(obj, path).second->kind; }

std::string GetPropertyText(const TObject& obj, std::string_view path) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind == TPropKind::Method) return p->getMethodName(*o);
    if (p->kind == TPropKind::StringList) {
        std::string text;
        for (const auto& line : p->getList(*o)) text += line + "\r\n";
        return text;
    }
    if (!p->getText) WrongKind(*p, "a text value");
    return p->getText(*o);
}

void SetPropertyText(TObject& obj, std::string_view path, const std::string& text) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind == TPropKind::Class || p->kind == TPropKind::Method) WrongKind(*p, "a text value");
    if (p->kind == TPropKind::StringList) {
        TStringList lines;
        lines.SetText(text);
        p->setList(*o, lines.Lines());
        return;
    }
    if (!p->setText) throw EPropertyError("Property " + p->name + " is read-only");
    p->setText(*o, text);
}

TPersistent* GetObjectProperty(TObject& obj, std::string_view path) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind != TPropKind::Class) WrongKind(*p, "an object");
    return p->getObject(*o);
}

std::vector<std::string> GetStringListProperty(const TObject& obj, std::string_view path) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind != TPropKind::StringList) WrongKind(*p, "a list of strings");
    return p->getList(*o);
}

void SetStringListProperty(TObject& obj, std::string_view path,
                           const std::vector<std::string>& lines) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind != TPropKind::StringList) WrongKind(*p, "a list of strings");
    p->setList(*o, lines);
}

void SetMethodProperty(TObject& obj, std::string_view path, TObject& root,
                       const std::string& methodName) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind != TPropKind::Method) WrongKind(*p, "an event");
    const TMethodInfo* m = root.ClassInfo().FindMethod(methodName);
    if (!m)
        throw EPropertyError("Method " + methodName + " of " + root.ClassName() + " does not exist");
    p->setMethod(*o, m->bind(root), m->name);
}

std::string GetMethodName(const TObject& obj, std::string_view path) {
    auto [o, p] = Resolve(obj, path);
    if (p->kind != TPropKind::Method) WrongKind(*p, "an event");
    return p->getMethodName(*o);
}

// ---- TPersistent -------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TPersistent, WL_NO_PROPERTIES)

void TPersistent::Assign(const TPersistent& source) {
    throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

bool TPersistent::ReadBinaryProperty(const std::string&, const std::string&) { return false; }

void TPersistent::WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>&) const {}

// ---- TComponent --------------------------------------------------------------------------------

WL_DEFINE_CLASS(TComponent, [](ClassBuilder<TComponent>& c) {
    c.Str("Name", &TComponent::Name, &TComponent::SetName);
    c.Int("Tag", &TComponent::Tag, &TComponent::SetTag);
})

bool IsValidIdent(std::string_view name) {
    if (name.empty()) return false;
    auto alpha = [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)) || ch == '_'; };
    if (!alpha(name[0])) return false;
    for (char ch : name)
        if (!alpha(ch) && !std::isdigit(static_cast<unsigned char>(ch))) return false;
    return true;
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    for (TComponent* c : std::vector<TComponent*>(freeNotifies_)) {
        c->RemoveFreeNotification(this);
        c->Notification(this, opRemove);
    }
    freeNotifies_.clear();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (component->owner_) component->owner_->RemoveComponent(component);
    component->owner_ = this;
    components_.push_back(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
    if (!IsDestroying()) Notification(component, opRemove);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        RemoveComponent(c);
        delete c;
    }
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsValidIdent(name))
        throw EPropertyError("'" + name + "' is not a valid component name");
    if (owner_ && !name.empty()) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this)
            throw EPropertyError("A component named " + name + " already exists");
    }
    name_ = name;
}

void TComponent::SetDesigning(bool on) {
    if (on) state_ |= csDesigning;
    else state_ &= ~csDesigning;
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::Destroying() {
    if (state_ & csDestroying) return;
    state_ |= csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove) {
        auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
        if (it != freeNotifies_.end()) freeNotifies_.erase(it);
    }
    // Owned components hear about removals so that references between siblings are dropped.
    if (operation == opRemove && !IsDestroying())
        for (TComponent* c : std::vector<TComponent*>(components_))
            if (c != component) c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
        freeNotifies_.push_back(component);
        component->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it != freeNotifies_.end()) {
        freeNotifies_.erase(it);
        component->RemoveFreeNotification(this);
    }
}

// ---- string lists ------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TStrings, [](ClassBuilder<TStrings>& c) {
    c.List("Strings", &TStrings::Lines, &TStrings::SetLines);
})

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObject(index);
    Delete(index);
    Insert(index, s);
    PutObject(index, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
    int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    int index = Add(s);
    PutObject(index, object);
    return index;
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Get(i), s)) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        std::string line = Get(i);
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name))
            return i;
    }
    return -1;
}

std::string TStrings::Name(int index) const {
    std::string line = Get(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::Value(const std::string& name) const {
    int i = IndexOfName(name);
    if (i < 0) return {};
    std::string line = Get(i);
    return line.substr(line.find('=') + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
    } else if (i >= 0) {
        Put(i, name + "=" + value);
    } else {
        Add(name + "=" + value);
    }
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) text += Get(i) + "\r\n";
    return text;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos) {
            Add(text.substr(i));
            break;
        }
        Add(text.substr(i, end - i));
        i = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    EndUpdate();
}

std::vector<std::string> TStrings::Lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < Count(); ++i) lines.push_back(Get(i));
    return lines;
}

void TStrings::SetLines(const std::vector<std::string>& lines) {
    BeginUpdate();
    Clear();
    for (const auto& l : lines) Add(l);
    EndUpdate();
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
    EndUpdate();
}

void TStrings::Assign(const TPersistent& source) {
    if (auto* s = dynamic_cast<const TStrings*>(&source)) {
        if (s == this) return;
        BeginUpdate();
        Clear();
        AddStrings(*s);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

WL_DEFINE_CLASS(TStringList, WL_NO_PROPERTIES)

void TStringList::CheckIndex(int index, bool allowEnd) const {
    int limit = Count() + (allowEnd ? 1 : 0);
    if (index < 0 || index >= limit)
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

std::string TStringList::Get(int index) const {
    CheckIndex(index, false);
    return items_[index].text;
}

void TStringList::Put(int index, const std::string& s) {
    CheckIndex(index, false);
    items_[index].text = s;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    CheckIndex(index, true);
    items_.insert(items_.begin() + index, Item{s, nullptr});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index, false);
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index, false);
    return items_[index].object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index, false);
    items_[index].object = object;
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return Lower(a.text) < Lower(b.text); });
    Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (!updating) Changed();
}

// ---- TCollection ------------------------------------------------------------------------------

WL_DEFINE_CLASS(TCollectionItem, WL_NO_PROPERTIES)
WL_DEFINE_ABSTRACT_CLASS(TCollection, WL_NO_PROPERTIES)

int TCollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int index) {
    if (collection_) collection_->Move(Index(), index);
}

void TCollectionItem::Changed() {
    if (collection_) collection_->Changed({TCollectionAction::ItemChanged, Index(), -1, this});
}

TCollection::TCollection(const TClassInfo& itemClass, TPersistent* owner)
    : itemClass_(itemClass), owner_(owner) {
    if (!itemClass.InheritsFrom(TCollectionItem::StaticClass()) || !itemClass.create)
        throw Exception("Class " + itemClass.name + " cannot be a collection item");
}

TCollection::~TCollection() {
    OnUpdate = nullptr;
    for (auto& item : items_) item->collection_ = nullptr;
}

void TCollection::CheckIndex(int index, bool allowEnd) const {
    int limit = Count() + (allowEnd ? 1 : 0);
    if (index < 0 || index >= limit)
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

TCollectionItem* TCollection::Items(int index) const {
    CheckIndex(index, false);
    return items_[static_cast<size_t>(index)].get();
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int index) {
    CheckIndex(index, true);
    std::unique_ptr<TCollectionItem> item(static_cast<TCollectionItem*>(itemClass_.create(nullptr)));
    item->collection_ = this;
    TCollectionItem* raw = item.get();
    items_.insert(items_.begin() + index, std::move(item));
    Changed({TCollectionAction::Added, index, -1, raw});
    return raw;
}

void TCollection::Delete(int index) {
    CheckIndex(index, false);
    items_.erase(items_.begin() + index);
    Changed({TCollectionAction::Removed, index, -1, nullptr});
}

void TCollection::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed({});
}

void TCollection::Move(int from, int to) {
    CheckIndex(from, false);
    CheckIndex(to, false);
    if (from == to) return;
    auto item = std::move(items_[static_cast<size_t>(from)]);
    TCollectionItem* raw = item.get();
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    Changed({TCollectionAction::Moved, to, from, raw});
}

int TCollection::IndexOf(const TCollectionItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
}

void TCollection::Assign(const TPersistent& source) {
    auto* other = dynamic_cast<const TCollection*>(&source);
    if (!other || &other->itemClass_ != &itemClass_) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (const auto& from : other->items_) {
            TCollectionItem* to = Add();
            for (const TPropInfo* p : itemClass_.AllProperties()) {
                if (p->kind == TPropKind::StringList) p->setList(*to, p->getList(*from));
                else if (p->kind == TPropKind::Class) {
                    TPersistent* dst = p->getObject(*to);
                    TPersistent* src = p->getObject(const_cast<TCollectionItem&>(*from));
                    if (dst && src) dst->Assign(*src);
                } else if (p->getText && p->setText) p->setText(*to, p->getText(*from));
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && pending_) {
        pending_ = false;
        if (OnUpdate) OnUpdate(TCollectionChange{});
    }
}

void TCollection::Changed(const TCollectionChange& change) {
    if (updateCount_ > 0) {
        pending_ = true;
        return;
    }
    if (OnUpdate) OnUpdate(change);
}

} // namespace wl
