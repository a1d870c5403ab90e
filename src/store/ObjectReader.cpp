#include "ObjectStream.h"
#include "TextTools.h"

#include "ClassRegistry.h"
#include "Errors.h"
#include "Extended.h"
#include "NameCollator.h"

#include <bit>
#include <cstring>

namespace lynkora::ObjectStream {

namespace {

constexpr const char* kReadError = "Stream read error";
constexpr const char* kInvalidFormat = "Invalid stream format";
constexpr const char* kInvalidValue = "Invalid property value";
constexpr const char* kInvalidPath = "Invalid property path";
constexpr const char* kNoProperty = "Property does not exist";
// Children nest only as deep as the registered classes do; a hostile stream must not recurse
// without end.
constexpr int kMaxChildDepth = 32;

// Bounds-checked cursor over the stream's bytes: never reads past the end.
class Cursor {
public:
    explicit Cursor(std::string_view data) : m_data(data) {}

    std::size_t pos() const { return m_pos; }
    std::uint8_t peek() const {
        need(1);
        return static_cast<std::uint8_t>(m_data[m_pos]);
    }
    std::uint8_t byte() {
        need(1);
        return static_cast<std::uint8_t>(m_data[m_pos++]);
    }
    std::string_view bytes(std::size_t n) {
        need(n);
        std::string_view v = m_data.substr(m_pos, n);
        m_pos += n;
        return v;
    }
    std::uint64_t le(int n) {
        std::string_view b = bytes(static_cast<std::size_t>(n));
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(b[i])) << (8 * i);
        return v;
    }
    std::string_view shortString() { return bytes(byte()); }
    ValueTag tag() { return static_cast<ValueTag>(byte()); }
    ValueTag peekTag() const { return static_cast<ValueTag>(peek()); }

private:
    void need(std::size_t n) const {
        if (n > m_data.size() - m_pos)
            throw EReadError(kReadError);
    }
    std::string_view m_data;
    std::size_t m_pos = 0;
};

bool isIntegerTag(ValueTag t) {
    return t == ValueTag::Int8 || t == ValueTag::Int16 || t == ValueTag::Int32;
}

std::int64_t integerPayload(Cursor& c, ValueTag t) {
    switch (t) {
    case ValueTag::Int8:
        return static_cast<std::int8_t>(c.le(1));
    case ValueTag::Int16:
        return static_cast<std::int16_t>(c.le(2));
    case ValueTag::Int32:
        return static_cast<std::int32_t>(c.le(4));
    default:
        throw EReadError(kInvalidValue);
    }
}

std::string_view textPayload(Cursor& c, ValueTag t) {
    if (t == ValueTag::String)
        return c.shortString();
    if (t == ValueTag::LString) {
        const std::uint64_t n = c.le(4);
        return c.bytes(static_cast<std::size_t>(n));
    }
    throw EReadError(kInvalidValue);
}

std::int64_t lookupName(const PropInfo& p, std::string_view ident) {
    for (std::size_t i = 0; i < p.names.size(); ++i)
        if (CompareAsciiNoCase(p.names[i], ident) == 0)
            return static_cast<std::int64_t>(i);
    throw EReadError(kInvalidValue);
}

class Reader {
public:
    explicit Reader(std::string_view in) : m_c(in) {}

    std::size_t readRoot(StreamObject& obj) {
        if (m_c.bytes(4) != kStreamSignature)
            throw EReadError(kInvalidFormat);
        readHeaderInto(obj);
        readBody(obj, 0);
        return m_c.pos();
    }

private:
    // Flags byte, class name, component name; returns the class name.
    std::string_view readHeader(std::string& name) {
        if ((m_c.peek() & 0xF0) == 0xF0) {
            const std::uint8_t flags = m_c.byte();
            if (flags & 2) // position of an inherited child: not used here
                integerPayload(m_c, m_c.tag());
        }
        std::string_view className = m_c.shortString();
        name = std::string(m_c.shortString());
        return className;
    }

    void readHeaderInto(StreamObject& obj) {
        std::string name;
        readHeader(name);
        obj.setComponentName(std::move(name));
    }

    void readBody(StreamObject& obj, int depth) {
        readProperties(obj);
        while (m_c.peekTag() != ValueTag::Null) {
            if (depth >= kMaxChildDepth)
                throw EReadError(kInvalidFormat);
            std::string name;
            const std::string className(readHeader(name));
            std::unique_ptr<StreamObject> child = ClassRegistry::Create(className);
            if (!child)
                throw EReadError("Class " + QuoteForMessage(className) + " not found");
            child->setComponentName(std::move(name));
            readBody(*child, depth + 1);
            obj.adoptChild(std::move(child));
        }
        m_c.byte();
    }

    void readProperties(StreamObject& obj) {
        while (m_c.peekTag() != ValueTag::Null)
            readProperty(obj);
        m_c.byte();
    }

    void readProperty(StreamObject& obj) {
        const std::string_view name = m_c.shortString();
        try {
            StreamObject* target = &obj;
            std::string_view rest = name;
            for (std::size_t dot; (dot = rest.find('.')) != std::string_view::npos;) {
                const PropInfo* p = target->classInfo().findProperty(rest.substr(0, dot));
                StreamObject* sub = (p && p->kind == PropKind::Object) ? p->object(*target)
                                                                        : nullptr;
                if (!sub)
                    throw EReadError(kInvalidPath);
                target = sub;
                rest = rest.substr(dot + 1);
            }
            const ClassInfo& info = target->classInfo();
            const PropInfo* p = findProperty(info, rest);
            if (!p)
                p = info.findExtraProperty(rest);
            if (!p)
                throw EReadError(kNoProperty);
            readValue(*target, *p);
        } catch (const ELynkora& e) {
            throw EReadError("Error reading " + QuoteForMessage(obj.displayName()) + "." + QuoteForMessage(name) +
                             ": " + e.what());
        }
    }

    // Properties are written in declared order, those at their defaults left out: the next one
    // is looked for after the last one found before the whole list is searched.
    const PropInfo* findProperty(const ClassInfo& info, std::string_view name) {
        const std::vector<PropInfo>& props = info.properties;
        if (&info == m_lastClass)
            for (std::size_t i = m_nextProperty; i < props.size(); ++i)
                if (props[i].name == name) {
                    m_nextProperty = i + 1;
                    return &props[i];
                }
        const PropInfo* p = info.findProperty(name);
        if (p) {
            m_lastClass = &info;
            m_nextProperty = static_cast<std::size_t>(p - props.data()) + 1;
        }
        return p;
    }

    void readValue(StreamObject& obj, const PropInfo& p) {
        const ValueTag t = m_c.tag();
        switch (p.kind) {
        case PropKind::Integer:
            p.setInt(obj, integerPayload(m_c, t));
            return;
        case PropKind::Float:
            if (t == ValueTag::Extended) {
                Extended80 e;
                std::memcpy(e.data(), m_c.bytes(e.size()).data(), e.size());
                p.setFloat(obj, ExtendedToDouble(e));
            } else {
                p.setFloat(obj, static_cast<double>(integerPayload(m_c, t)));
            }
            return;
        case PropKind::Text: {
            const std::string_view text = textPayload(m_c, t);
            if (p.setTextView)
                p.setTextView(obj, text);
            else
                p.setText(obj, std::string(text));
            return;
        }
        case PropKind::Reference:
            if (t == ValueTag::Ident)
                p.setText(obj, std::string(m_c.shortString()));
            else if (t == ValueTag::Nil)
                p.setText(obj, {});
            else
                throw EReadError(kInvalidValue);
            return;
        case PropKind::Boolean:
        case PropKind::Enumeration:
            if (t == ValueTag::False)
                p.setInt(obj, lookupName(p, "False"));
            else if (t == ValueTag::True)
                p.setInt(obj, lookupName(p, "True"));
            else if (t == ValueTag::Ident)
                p.setInt(obj, lookupName(p, m_c.shortString()));
            else
                throw EReadError(kInvalidValue);
            return;
        case PropKind::Set: {
            if (t != ValueTag::Set)
                throw EReadError(kInvalidValue);
            std::int64_t mask = 0;
            for (std::string_view member; !(member = m_c.shortString()).empty();)
                mask |= std::int64_t{1} << lookupName(p, member);
            p.setInt(obj, mask);
            return;
        }
        case PropKind::Binary: {
            if (t != ValueTag::Binary)
                throw EReadError(kInvalidValue);
            const std::uint64_t n = m_c.le(4);
            p.setText(obj, std::string(m_c.bytes(static_cast<std::size_t>(n))));
            return;
        }
        case PropKind::StringList:
            if (t != ValueTag::List)
                throw EReadError(kInvalidValue);
            p.clearStrings(obj);
            while (m_c.peekTag() != ValueTag::Null) {
                const ValueTag st = m_c.tag();
                p.addString(obj, std::string(textPayload(m_c, st)));
            }
            m_c.byte();
            return;
        case PropKind::Collection:
            readCollection(*p.collection(obj), t);
            return;
        case PropKind::Object:
            if (t != ValueTag::Nil || !p.setNil)
                throw EReadError(kInvalidValue);
            p.setNil(obj);
            return;
        }
    }

    void readCollection(StreamCollection& coll, ValueTag t) {
        if (t != ValueTag::Collection)
            throw EReadError(kInvalidValue);
        if (m_c.peekTag() != ValueTag::Null)
            coll.clearItems();
        while (m_c.peekTag() != ValueTag::Null) {
            if (isIntegerTag(m_c.peekTag())) { // an item index: not used
                const ValueTag it = m_c.tag();
                integerPayload(m_c, it);
            }
            if (m_c.tag() != ValueTag::List)
                throw EReadError(kInvalidValue);
            readProperties(coll.addItem());
        }
        m_c.byte();
    }

    Cursor m_c;
    const ClassInfo* m_lastClass = nullptr;
    std::size_t m_nextProperty = 0;
};

} // namespace

std::size_t ReadObject(std::string_view in, StreamObject& obj) { return Reader(in).readRoot(obj); }

std::string ReadTextValue(std::string_view in) {
    Cursor c(in);
    const ValueTag t = c.tag();
    return std::string(textPayload(c, t));
}

double ReadDateValue(std::string_view in) {
    Cursor c(in);
    if (c.tag() != ValueTag::Date)
        throw EReadError(kInvalidValue);
    return std::bit_cast<double>(c.le(8));
}

} // namespace lynkora::ObjectStream
