#pragma once

#include "CompactText.h"
#include "SharedText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lynkora {

class StreamObject;
class StreamCollection;

// The kinds of value a streamed property can hold; each maps to the value tags it is written
// with and the tags a reader accepts for it.
enum class PropKind {
    Integer,     // tags 2, 3, 4 (smallest that holds the value)
    Float,       // tag 5 (80-bit extended); dates are floats
    Text,        // tag 6 up to 255 bytes, tag 12 above
    Boolean,     // tags 8 / 9
    Enumeration, // tag 7 identifier naming one of the type's values
    Set,         // tag 11, member names
    Binary,      // tag 10
    StringList,  // tag 1, text values, tag 0 (a defined property, e.g. "Strings")
    Collection,  // tag 14
    Object,      // an owned sub-object: written through dotted property paths
    Reference,   // tag 7 identifier naming another component (a button's command); text
};

// One streamed property of a class: its name, kind, default and accessors. The accessor set
// used depends on the kind. Order, defaults and omission all come from the class's table.
struct PropInfo {
    std::string name;
    PropKind kind = PropKind::Integer;

    // Integer, Boolean, Enumeration and Set values without a declared default are always
    // written; with one, only when the value differs.
    bool hasDefault = false;
    std::int64_t defaultValue = 0;
    // Read from a stream but never written (the component name of a category).
    bool neverWritten = false;
    // Enumeration value names (index = ordinal) or set member names (index = bit).
    std::vector<std::string> names;

    std::function<std::int64_t(const StreamObject&)> getInt;
    std::function<void(StreamObject&, std::int64_t)> setInt;
    std::function<double(const StreamObject&)> getFloat;
    std::function<void(StreamObject&, double)> setFloat;
    std::function<std::string_view(const StreamObject&)> getText;
    std::function<void(StreamObject&, std::string)> setText;
    // For a compact or shared text: set straight from the bytes read, without a std::string
    // between (a million shortcuts load with three or four texts each).
    std::function<void(StreamObject&, std::string_view)> setTextView;
    // StringList: the list's contents; a reader clears it, then adds string by string.
    std::function<const std::vector<std::string>&(const StreamObject&)> getStrings;
    std::function<void(StreamObject&)> clearStrings;
    std::function<void(StreamObject&, std::string)> addString;
    // Collection. The owner's constness does not extend to the collection it owns.
    std::function<StreamCollection*(const StreamObject&)> collection;
    // Object: the owned sub-object, or nullptr when it holds none; setNil empties it.
    std::function<StreamObject*(const StreamObject&)> object;
    std::function<void(StreamObject&)> setNil;
    // Defined (extra) properties decide themselves whether they are written.
    std::function<bool(const StreamObject&)> isStored;
};

// The streamed shape of a class: its name and its properties in declared order (inherited
// ones first), then the extra properties the class defines for the stream (e.g. "Strings").
struct ClassInfo {
    std::string className;
    std::vector<PropInfo> properties;
    std::vector<PropInfo> extraProperties;

    const PropInfo* findProperty(std::string_view name) const;
    const PropInfo* findExtraProperty(std::string_view name) const;
};

// Base of every class that is written to and read from an object stream.
class StreamObject {
public:
    virtual ~StreamObject() = default;
    virtual const ClassInfo& classInfo() const = 0;

    // Components carry a name in the object header; other objects have none.
    virtual bool isComponent() const { return false; }
    virtual std::string componentName() const { return {}; }
    virtual void setComponentName(std::string /*name*/) {}

    // Child objects written after the properties (a toolbar's buttons).
    virtual std::size_t childCount() const { return 0; }
    virtual const StreamObject* child(std::size_t /*index*/) const { return nullptr; }
    // Takes a child read from a stream; objects without children refuse it.
    virtual void adoptChild(std::unique_ptr<StreamObject> child);

    // The name used in read-error messages: the component name, else the class name.
    std::string displayName() const;
};

// An owned, ordered collection of streamed items.
class StreamCollection {
public:
    virtual ~StreamCollection() = default;
    virtual std::size_t itemCount() const = 0;
    virtual const StreamObject& itemAt(std::size_t index) const = 0;
    virtual StreamObject& addItem() = 0;
    virtual void clearItems() = 0;
};

// Helpers that build property entries from member pointers, so each class's table is a plain
// list of declarations.
namespace props {

template <class C, class T>
PropInfo integer(std::string name, T C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Integer;
    p.getInt = [member](const StreamObject& o) {
        return static_cast<std::int64_t>(static_cast<const C&>(o).*member);
    };
    p.setInt = [member](StreamObject& o, std::int64_t v) {
        static_cast<C&>(o).*member = static_cast<T>(v);
    };
    return p;
}

template <class C, class T>
PropInfo integer(std::string name, T C::*member, std::int64_t defaultValue) {
    PropInfo p = integer(std::move(name), member);
    p.hasDefault = true;
    p.defaultValue = defaultValue;
    return p;
}

template <class C>
PropInfo floating(std::string name, double C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Float;
    p.getFloat = [member](const StreamObject& o) { return static_cast<const C&>(o).*member; };
    p.setFloat = [member](StreamObject& o, double v) { static_cast<C&>(o).*member = v; };
    return p;
}

template <class C>
PropInfo text(std::string name, std::string C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Text;
    p.getText = [member](const StreamObject& o) -> std::string_view {
        return static_cast<const C&>(o).*member;
    };
    p.setText = [member](StreamObject& o, std::string v) {
        static_cast<C&>(o).*member = std::move(v);
    };
    return p;
}

template <class C>
PropInfo text(std::string name, SharedText C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Text;
    p.getText = [member](const StreamObject& o) -> std::string_view {
        return (static_cast<const C&>(o).*member).str();
    };
    p.setText = [member](StreamObject& o, std::string v) { static_cast<C&>(o).*member = v; };
    p.setTextView = [member](StreamObject& o, std::string_view v) { static_cast<C&>(o).*member = v; };
    return p;
}

template <class C>
PropInfo text(std::string name, CompactText C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Text;
    p.getText = [member](const StreamObject& o) -> std::string_view {
        return (static_cast<const C&>(o).*member).view();
    };
    p.setText = [member](StreamObject& o, std::string v) { static_cast<C&>(o).*member = std::string_view(v); };
    p.setTextView = [member](StreamObject& o, std::string_view v) { static_cast<C&>(o).*member = v; };
    return p;
}

// A reference to another component by its name, held as text; empty means none.
template <class C>
PropInfo reference(std::string name, std::string C::*member) {
    PropInfo p = text(std::move(name), member);
    p.kind = PropKind::Reference;
    return p;
}

template <class C>
PropInfo boolean(std::string name, bool C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Boolean;
    p.names = {"False", "True"};
    p.getInt = [member](const StreamObject& o) {
        return static_cast<std::int64_t>(static_cast<const C&>(o).*member);
    };
    p.setInt = [member](StreamObject& o, std::int64_t v) { static_cast<C&>(o).*member = v != 0; };
    return p;
}

template <class C>
PropInfo boolean(std::string name, bool C::*member, bool defaultValue) {
    PropInfo p = boolean(std::move(name), member);
    p.hasDefault = true;
    p.defaultValue = defaultValue ? 1 : 0;
    return p;
}

// An enumerated property held as an integer ordinal; names[i] is the identifier of ordinal i.
template <class C, class T>
PropInfo enumeration(std::string name, T C::*member, std::vector<std::string> names) {
    PropInfo p = integer(std::move(name), member);
    p.kind = PropKind::Enumeration;
    p.names = std::move(names);
    return p;
}

// A set held as a bit mask; names[i] is the member whose bit is 1 << i.
template <class C, class T>
PropInfo set(std::string name, T C::*member, std::vector<std::string> names) {
    PropInfo p = integer(std::move(name), member);
    p.kind = PropKind::Set;
    p.names = std::move(names);
    return p;
}

template <class C>
PropInfo binary(std::string name, std::string C::*member) {
    PropInfo p = text(std::move(name), member);
    p.kind = PropKind::Binary;
    return p;
}

template <class C, class Coll>
PropInfo collection(std::string name, Coll C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Collection;
    p.collection = [member](const StreamObject& o) -> StreamCollection* {
        return const_cast<Coll*>(&(static_cast<const C&>(o).*member));
    };
    return p;
}

// An owned sub-object that is always present; a nil in the stream empties it.
template <class C, class Sub>
PropInfo object(std::string name, Sub C::*member) {
    PropInfo p;
    p.name = std::move(name);
    p.kind = PropKind::Object;
    p.object = [member](const StreamObject& o) -> StreamObject* {
        return const_cast<Sub*>(&(static_cast<const C&>(o).*member));
    };
    p.setNil = [member](StreamObject& o) { (static_cast<C&>(o).*member).clearForNil(); };
    return p;
}

} // namespace props

} // namespace lynkora
