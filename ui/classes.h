// Run-time type information, published properties and the component model of the UI library.
//
// Every class has one static descriptor (TClassInfo): its name, its parent's descriptor, a
// factory (so form files can create it by name) and its published properties and methods.
// ClassName(), InheritsFrom(), creating a class by name and reading or writing a property as
// text by name all go through it.
//
// Declaring a class (header):
//
//     class TThing : public wl::TPersistent {
//         WL_CLASS(TThing, wl::TPersistent)
//     public:
//         int Size() const { return size_; }
//         void SetSize(int v) { size_ = v; }
//         TAlign Align() const;  void SetAlign(TAlign);
//         unsigned Options() const;  void SetOptions(unsigned);   // a set as a bit mask
//         wl::TStringList* Items() { return &items_; }
//         wl::TNotifyEvent OnChange;
//     ...
//     };
//
// and its descriptor (one source file; the class is registered for creation by name):
//
//     WL_DEFINE_CLASS(TThing, [](wl::ClassBuilder<TThing>& c) {
//         c.Int("Size", &TThing::Size, &TThing::SetSize);
//         c.Enum("Align", &TThing::Align, &TThing::SetAlign, {{"alNone", alNone}, {"alTop", alTop}});
//         c.Set("Options", &TThing::Options, &TThing::SetOptions, {{"opA", 1}, {"opB", 2}});
//         c.Object("Items", [](TThing& t) { return t.Items(); });   // nested: "Items.Strings"
//         c.Event("OnChange", &TThing::OnChange);
//     })
//
// Other kinds: Bool, Str, Color (integer colour value; names such as clBtnFace are resolved by
// the colour-name hooks the graphics unit installs). A setter may be nullptr for a read-only
// property. Getters and setters are anything std::invoke accepts (member functions, lambdas).
// A form class also publishes its event handlers and component fields by name:
//
//     c.Method("FormCreate", &TFmain::FormCreate);    // void TFmain::FormCreate(TObject*)
//     c.Field("Edit1", &TFmain::Edit1);              // TEdit* TFmain::Edit1
//
// Classes without a usable constructor (abstract ones) use WL_DEFINE_ABSTRACT_CLASS. A
// component class is created by name as `new T(owner)`, any other persistent as `new T()`.
#pragma once

#include "ui/sysutils.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// <windows.h> maps RegisterClass to RegisterClassA/W; a unit that includes it before this header
// would otherwise declare and call a registry function that does not exist.
#ifdef RegisterClass
#undef RegisterClass
#endif

namespace wl {

class TObject;
class TPersistent;
class TComponent;
class TStrings;

// A property that does not exist, or a value a property does not accept.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// A class name nobody registered.
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// Ident: a name written without quotes (a reference to a component by its name).
enum class TPropKind { Integer, Boolean, String, Enumeration, Set, Color, Class, Method, StringList, Ident };

struct TEnumMember {
    const char* name;
    int64_t value; // enumerations: the value; sets: the member's bit
};

// One published property. Scalar kinds are read and written as text; Class properties give the
// nested object; Method properties take a handler made by a published method (see TMethodInfo);
// StringList properties read and write a list of lines.
struct TPropInfo {
    std::string name;
    TPropKind kind = TPropKind::Integer;
    std::vector<TEnumMember> members;
    std::function<std::string(const TObject&)> getText;
    std::function<void(TObject&, const std::string&)> setText;
    std::function<TPersistent*(TObject&)> getObject;
    std::function<std::string(const TObject&)> getMethodName;
    // Binds `handler` (a std::function of the event's exact signature, in a std::any) under the
    // method name; throws EPropertyError when the signature differs.
    std::function<void(TObject&, const std::any&, const std::string&)> setMethod;
    std::function<std::vector<std::string>(const TObject&)> getList;
    std::function<void(TObject&, const std::vector<std::string>&)> setList;

    bool IsWritable() const { return setText || setMethod || setList || kind == TPropKind::Class; }
};

// A published method of a class (a form's event handler): makes a handler bound to an instance.
struct TMethodInfo {
    std::string name;
    std::function<std::any(TObject&)> bind;
};

// A published component field of a class (a form's `TEdit* Edit1`): stores the component in the
// instance's field; false when the component is of the wrong class.
struct TFieldInfo {
    std::string name;
    std::function<bool(TObject&, TComponent*)> assign;
};

struct TClassInfo {
    std::string name;
    const TClassInfo* parent = nullptr;
    TObject* (*create)(TComponent* owner) = nullptr; // nullptr: cannot be created by name
    std::vector<TPropInfo> properties;               // this class's own, in declaration order
    std::vector<TMethodInfo> methods;
    std::vector<TFieldInfo> fields;

    bool InheritsFrom(const TClassInfo& other) const;
    bool InheritsFrom(std::string_view className) const;
    // Searches this class, then its ancestors (case-insensitive, as names in form files are).
    const TPropInfo* FindProperty(std::string_view propName) const;
    const TMethodInfo* FindMethod(std::string_view methodName) const;
    const TFieldInfo* FindField(std::string_view fieldName) const;
    // Every published property, ancestors' first.
    std::vector<const TPropInfo*> AllProperties() const;
};

// Class registry: every class defined with WL_DEFINE_CLASS registers itself at start-up.
void RegisterClass(const TClassInfo& info);
const TClassInfo* FindClass(std::string_view name);
const TClassInfo& GetClass(std::string_view name); // throws EClassNotFound
// Creates an instance of a registered class; throws EClassNotFound for unknown or abstract ones.
TObject* CreateObjectByName(std::string_view className, TComponent* owner);

// Colour names (clBtnFace ...) belong to the graphics unit, which installs these hooks; without
// them colours are read and written as numbers only.
struct TColorIdentHooks {
    bool (*identToColor)(const std::string& ident, int32_t& color) = nullptr;
    bool (*colorToIdent)(int32_t color, std::string& ident) = nullptr;
};
void SetColorIdentHooks(const TColorIdentHooks& hooks);
std::string ColorToText(int32_t color);       // name when known, else "$XXXXXXXX"
int32_t TextToColor(const std::string& text); // name or integer; throws EConvertError

// ----------------------------------------------------------------------------------------------

class TObject {
public:
    virtual ~TObject() = default;
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassInfo() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassInfo().name; }
    bool InheritsFrom(const TClassInfo& info) const { return ClassInfo().InheritsFrom(info); }
    bool InheritsFrom(std::string_view className) const {
        return ClassInfo().InheritsFrom(className);
    }
};

// Inside a class body: the descriptor accessors. Leaves the access at private.
#define WL_CLASS(Class, Parent)                                                                   \
public:                                                                                           \
    using inherited = Parent;                                                                     \
    static const ::wl::TClassInfo& StaticClass();                                                 \
    const ::wl::TClassInfo& ClassInfo() const override { return StaticClass(); }                  \
                                                                                                  \
private:

// An event: a handler of a fixed signature and the name of the method it was bound to.
template <class... Args>
class TEvent {
public:
    using Handler = std::function<void(Args...)>;
    TEvent() = default;
    TEvent& operator=(Handler handler) {
        handler_ = std::move(handler);
        method_.clear();
        return *this;
    }
    void Bind(Handler handler, std::string methodName) {
        handler_ = std::move(handler);
        method_ = std::move(methodName);
    }
    void Clear() {
        handler_ = nullptr;
        method_.clear();
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }
    void operator()(Args... args) const {
        if (handler_) handler_(std::forward<Args>(args)...);
    }
    const std::string& MethodName() const { return method_; }

private:
    Handler handler_;
    std::string method_;
};

using TNotifyEvent = TEvent<TObject*>;

class TPersistent : public TObject {
    WL_CLASS(TPersistent, TObject)
public:
    // Copies the state of `source`; the base throws EConvertError "Cannot assign ...".
    virtual void Assign(const TPersistent& source);

    // Binary properties of form files ("SkinStream = { ... }"): the reader hands the bytes to
    // ReadBinaryProperty (false: not a binary property of this class); the writer asks
    // WriteBinaryProperties for (name, bytes) pairs.
    virtual bool ReadBinaryProperty(const std::string& name, const std::string& bytes);
    virtual void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const;
};

// Reading and writing published properties by name. `path` may name a nested object's property
// ("Font.Name"). Unknown names throw EPropertyError naming the property; values a property does
// not accept throw EPropertyError or EConvertError.
const TPropInfo& GetPropInfo(const TObject& obj, std::string_view propName); // one level
bool IsPublishedProp(const TObject& obj, std::string_view path);
TPropKind PropKind(const TObject& obj, std::string_view path);
std::string GetPropertyText(const TObject& obj, std::string_view path);
void SetPropertyText(TObject& obj, std::string_view path, const std::string& text);
TPersistent* GetObjectProperty(TObject& obj, std::string_view path);
std::vector<std::string> GetStringListProperty(const TObject& obj, std::string_view path);
void SetStringListProperty(TObject& obj, std::string_view path,
                           const std::vector<std::string>& lines);
// Binds the event `path` of `obj` to the published method `methodName` of `root`.
void SetMethodProperty(TObject& obj, std::string_view path, TObject& root,
                       const std::string& methodName);
// The published method name an event is bound to ("" when none, or not bound by name).
std::string GetMethodName(const TObject& obj, std::string_view path);

// ----------------------------------------------------------------------------------------------

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 1,
    csReading = 2,
    csDesigning = 4,
    csDestroying = 8,
};

// A named object with an owner that frees it. Owners keep their components in insertion order
// and destroy them when they are destroyed themselves.
class TComponent : public TPersistent {
    WL_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }
    TComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component, last inserted first.
    void DestroyComponents();

    const std::string& Name() const { return name_; }
    // A valid identifier, unique among the owner's components (EPropertyError otherwise).
    virtual void SetName(const std::string& name);
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }

    unsigned ComponentState() const { return state_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }
    bool IsDestroying() const { return (state_ & csDestroying) != 0; }
    void SetDesigning(bool on);
    // Called by the form reader around reading; Loaded clears csLoading.
    void BeginLoading() { state_ |= csLoading | csReading; }
    virtual void Loaded();
    // Marks the component (and its owned ones) as being destroyed.
    void Destroying();

    // `component` is inserted into or removed from the owner, or (for components that asked
    // with FreeNotification) freed.
    virtual void Notification(TComponent* component, TOperation operation);
    void FreeNotification(TComponent* component);

    // The component this one nests under in a form file (a control's parent), and how the form
    // reader sets it; components that are not controls have none and nest under the root.
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* /*parent*/) {}
    // The components nested under this one in a form file, in the order they are written
    // (menu items in menu order); false lets the writer take the root's components whose
    // parent component this is, in creation order.
    virtual bool GetChildComponents(std::vector<TComponent*>& /*children*/) const { return false; }
    void RemoveFreeNotification(TComponent* component);

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    intptr_t tag_ = 0;
    unsigned state_ = 0;
};

// Learns whether a component has been freed, through its free notification: for code that runs
// something which may free the very component it started from (a modal form released by its own
// handler, a control deleted in its own event).
class TFreeWatch : public TComponent {
public:
    explicit TFreeWatch(TComponent* watched) : TComponent(nullptr) { watched->FreeNotification(this); }
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove) Gone = true;
    }
    bool Gone = false;
};

bool IsValidIdent(std::string_view name);

// ----------------------------------------------------------------------------------------------

// A list of text lines (ANSI) with optional objects. Text joins lines with CR LF; setting it
// splits at CR LF, LF or CR.
class TStrings : public TPersistent {
    WL_CLASS(TStrings, TPersistent)
public:
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);

    int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* object);
    int IndexOf(const std::string& s) const; // case-insensitive, -1 when absent
    // "name=value" lines.
    int IndexOfName(const std::string& name) const;
    std::string Name(int index) const;
    std::string Value(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);

    std::string operator[](int index) const { return Get(index); }
    virtual std::string Text() const;
    virtual void SetText(const std::string& text);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    void AddStrings(const TStrings& other);
    void Assign(const TPersistent& source) override;

    // Bracket many changes to one change notification.
    void BeginUpdate();
    void EndUpdate();

protected:
    int UpdateCount() const { return updateCount_; }
    virtual void SetUpdateState(bool /*updating*/) {}

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
    WL_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Sort(); // case-insensitive, stable

    TNotifyEvent OnChange;

protected:
    void Changed();
    void SetUpdateState(bool updating) override;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    std::vector<Item> items_;
    void CheckIndex(int index, bool allowEnd) const;
};

// ----------------------------------------------------------------------------------------------
// Collections: an ordered list of items of one class (status panels, header sections, list
// columns). Form files write them as `Panels = < item Width = 50 end item ... end >`; a class
// publishes one with c.Object("Panels", ...) and the reader and writer recognise it by its class.

class TCollection;

class TCollectionItem : public TPersistent {
    WL_CLASS(TCollectionItem, TPersistent)
public:
    TCollectionItem() = default;
    TCollection* Collection() const { return collection_; }
    int Index() const; // -1 when not in a collection
    void SetIndex(int index);

protected:
    // Tells the collection (and through it the control) that this item changed.
    void Changed();

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

// What a collection reports after a change, so a control can apply it to its window one item at
// a time instead of rebuilding every item.
enum class TCollectionAction {
    Added,       // a new item at `index`
    Removed,     // the item that was at `index` is gone (already freed)
    Moved,       // `item` went from `from` to `index`
    ItemChanged, // a property of `item` (at `index`) changed
    AllChanged   // anything: cleared, assigned, or changes bracketed by BeginUpdate/EndUpdate
};

struct TCollectionChange {
    TCollectionAction action = TCollectionAction::AllChanged;
    int index = -1;
    int from = -1;
    TCollectionItem* item = nullptr; // nullptr for Removed and AllChanged
};

class TCollection : public TPersistent {
    WL_CLASS(TCollection, TPersistent)
public:
    // Items are created by `itemClass`'s factory, so they can also be created from form files.
    explicit TCollection(const TClassInfo& itemClass, TPersistent* owner = nullptr);
    ~TCollection() override;
    // The object the collection belongs to (a control), or nullptr.
    TPersistent* Owner() const { return owner_; }

    const TClassInfo& ItemClass() const { return itemClass_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int index) const; // throws Exception when out of range
    template <class T>
    T* Item(int index) const {
        return static_cast<T*>(Items(index));
    }
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void Move(int from, int to);
    int IndexOf(const TCollectionItem* item) const;
    // Copies the items of another collection of the same item class, property by property.
    void Assign(const TPersistent& source) override;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    // Called after each change. Changes bracketed by BeginUpdate/EndUpdate report once, as
    // AllChanged, at the last EndUpdate.
    std::function<void(const TCollectionChange& change)> OnUpdate;

private:
    friend class TCollectionItem;
    void Changed(const TCollectionChange& change);
    void CheckIndex(int index, bool allowEnd) const;
    const TClassInfo& itemClass_;
    TPersistent* owner_ = nullptr;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int updateCount_ = 0;
    bool pending_ = false;
};

// ----------------------------------------------------------------------------------------------
// Descriptor building.

namespace detail {

template <class T>
TObject* CreateInstance(TComponent* owner) {
    if constexpr (std::is_constructible_v<T, TComponent*>) return new T(owner);
    else if constexpr (std::is_default_constructible_v<T>) return new T();
    else return nullptr;
}

template <class T>
constexpr auto FactoryFor() -> TObject* (*)(TComponent*) {
    if constexpr (std::is_abstract_v<T>) return nullptr;
    else if constexpr (std::is_constructible_v<T, TComponent*> || std::is_default_constructible_v<T>)
        return &CreateInstance<T>;
    else return nullptr;
}

std::string IntToText(int64_t v);
int64_t TextToInt(const std::string& text);
std::string BoolToText(bool v);
bool TextToBool(const std::string& text);
std::string EnumToText(const std::vector<TEnumMember>& members, int64_t v);
int64_t TextToEnum(const std::vector<TEnumMember>& members, const std::string& propName,
                   const std::string& text);
std::string SetToText(const std::vector<TEnumMember>& members, uint64_t v);
uint64_t TextToSet(const std::vector<TEnumMember>& members, const std::string& propName,
                   const std::string& text);
[[noreturn]] void ThrowEventMismatch(const std::string& propName, const std::string& methodName);

struct ClassInfoInit {
    ClassInfoInit(const TClassInfo& info) { RegisterClass(info); }
};

} // namespace detail

template <class T>
class ClassBuilder {
public:
    explicit ClassBuilder(TClassInfo& info) : info_(info) {}

    template <class G, class S>
    ClassBuilder& Int(const char* name, G get, S set) {
        return Scalar(name, TPropKind::Integer, get, set, [](auto v) { return detail::IntToText(v); },
                      [](const std::string&, const std::string& t) { return detail::TextToInt(t); });
    }
    template <class G, class S>
    ClassBuilder& Bool(const char* name, G get, S set) {
        return Scalar(name, TPropKind::Boolean, get, set, [](auto v) { return detail::BoolToText(v); },
                      [](const std::string&, const std::string& t) { return detail::TextToBool(t); });
    }
    template <class G, class S>
    ClassBuilder& Str(const char* name, G get, S set) {
        return Scalar(name, TPropKind::String, get, set, [](const auto& v) { return std::string(v); },
                      [](const std::string&, const std::string& t) { return t; });
    }
    template <class G, class S>
    ClassBuilder& Ident(const char* name, G get, S set) {
        return Scalar(name, TPropKind::Ident, get, set, [](const auto& v) { return std::string(v); },
                      [](const std::string&, const std::string& t) { return t; });
    }
    template <class G, class S>
    ClassBuilder& Color(const char* name, G get, S set) {
        return Scalar(name, TPropKind::Color, get, set,
                      [](auto v) { return ColorToText(static_cast<int32_t>(v)); },
                      [](const std::string&, const std::string& t) { return TextToColor(t); });
    }
    template <class G, class S>
    ClassBuilder& Enum(const char* name, G get, S set, std::initializer_list<TEnumMember> members) {
        std::vector<TEnumMember> m(members);
        Scalar(name, TPropKind::Enumeration, get, set,
               [m](auto v) { return detail::EnumToText(m, static_cast<int64_t>(v)); },
               [m](const std::string& n, const std::string& t) { return detail::TextToEnum(m, n, t); });
        info_.properties.back().members = std::move(m);
        return *this;
    }
    template <class G, class S>
    ClassBuilder& Set(const char* name, G get, S set, std::initializer_list<TEnumMember> members) {
        std::vector<TEnumMember> m(members);
        Scalar(name, TPropKind::Set, get, set,
               [m](auto v) { return detail::SetToText(m, static_cast<uint64_t>(v)); },
               [m](const std::string& n, const std::string& t) { return detail::TextToSet(m, n, t); });
        info_.properties.back().members = std::move(m);
        return *this;
    }
    // A nested object (TFont, TStrings, ...); its own properties are reached as "Name.Prop".
    template <class G>
    ClassBuilder& Object(const char* name, G get) {
        TPropInfo p;
        p.name = name;
        p.kind = TPropKind::Class;
        p.getObject = [get](TObject& o) -> TPersistent* {
            return std::invoke(get, static_cast<T&>(o));
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }
    // A list of lines read and written as a whole.
    template <class G, class S>
    ClassBuilder& List(const char* name, G get, S set) {
        TPropInfo p;
        p.name = name;
        p.kind = TPropKind::StringList;
        p.getList = [get](const TObject& o) -> std::vector<std::string> {
            return std::invoke(get, static_cast<const T&>(o));
        };
        p.setList = [set](TObject& o, const std::vector<std::string>& v) {
            std::invoke(set, static_cast<T&>(o), v);
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }
    template <class... Args>
    ClassBuilder& Event(const char* name, TEvent<Args...> T::*member) {
        TPropInfo p;
        p.name = name;
        p.kind = TPropKind::Method;
        p.getMethodName = [member](const TObject& o) {
            return (static_cast<const T&>(o).*member).MethodName();
        };
        std::string propName = name;
        p.setMethod = [member, propName](TObject& o, const std::any& handler,
                                         const std::string& methodName) {
            using Fn = typename TEvent<Args...>::Handler;
            auto* fn = std::any_cast<Fn>(&handler);
            if (!fn) detail::ThrowEventMismatch(propName, methodName);
            (static_cast<T&>(o).*member).Bind(*fn, methodName);
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }
    template <class... Args>
    ClassBuilder& Method(const char* name, void (T::*method)(Args...)) {
        TMethodInfo m;
        m.name = name;
        m.bind = [method](TObject& o) -> std::any {
            T* self = static_cast<T*>(&o);
            return std::function<void(Args...)>(
                [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); });
        };
        info_.methods.push_back(std::move(m));
        return *this;
    }
    template <class C>
    ClassBuilder& Field(const char* name, C* T::*field) {
        TFieldInfo f;
        f.name = name;
        f.assign = [field](TObject& o, TComponent* component) {
            C* typed = dynamic_cast<C*>(component);
            if (component && !typed) return false;
            static_cast<T&>(o).*field = typed;
            return true;
        };
        info_.fields.push_back(std::move(f));
        return *this;
    }

private:
    template <class G, class S, class ToText, class FromText>
    ClassBuilder& Scalar(const char* name, TPropKind kind, G get, S set, ToText toText,
                         FromText fromText) {
        TPropInfo p;
        p.name = name;
        p.kind = kind;
        p.getText = [get, toText](const TObject& o) {
            return toText(std::invoke(get, static_cast<const T&>(o)));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            std::string propName = name;
            p.setText = [set, fromText, propName](TObject& o, const std::string& text) {
                using V = std::remove_cvref_t<decltype(std::invoke(std::declval<G>(),
                                                                   std::declval<const T&>()))>;
                auto v = fromText(propName, text);
                if constexpr (std::is_same_v<V, std::string>) std::invoke(set, static_cast<T&>(o), v);
                else std::invoke(set, static_cast<T&>(o), static_cast<V>(v));
            };
        }
        info_.properties.push_back(std::move(p));
        return *this;
    }

    TClassInfo& info_;
};

namespace detail {
template <class T, class Parent, class Build>
TClassInfo MakeClassInfo(const char* name, bool creatable, Build build) {
    TClassInfo info;
    info.name = name;
    info.parent = &Parent::StaticClass();
    info.create = creatable ? FactoryFor<T>() : nullptr;
    ClassBuilder<T> builder(info);
    build(builder);
    return info;
}
} // namespace detail

#define WL_DEFINE_CLASS_IMPL(Class, creatable, ...)                                               \
    const ::wl::TClassInfo& Class::StaticClass() {                                                \
        static const ::wl::TClassInfo info =                                                      \
            ::wl::detail::MakeClassInfo<Class, Class::inherited>(#Class, creatable, __VA_ARGS__); \
        return info;                                                                              \
    }                                                                                             \
    static const ::wl::detail::ClassInfoInit wl_class_init_##Class(Class::StaticClass());

// Defines the descriptor of `Class` (declared with WL_CLASS); the optional argument is a callable
// taking ClassBuilder<Class>& that declares the published properties.
#define WL_DEFINE_CLASS(Class, ...) WL_DEFINE_CLASS_IMPL(Class, true, __VA_ARGS__)
#define WL_DEFINE_ABSTRACT_CLASS(Class, ...) WL_DEFINE_CLASS_IMPL(Class, false, __VA_ARGS__)
#define WL_NO_PROPERTIES [](auto&) {}

} // namespace wl
