#include "ObjectStream.h"

#include "Extended.h"

#include <bit>
#include <cstring>

namespace lynkora::ObjectStream {

namespace {

void putTag(std::string& out, ValueTag tag) { out.push_back(static_cast<char>(tag)); }

void putLE(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Names, class names and identifiers are short strings: at most 255 bytes.
void putShortString(std::string& out, std::string_view s) {
    const std::size_t n = s.size() > 255 ? 255 : s.size();
    out.push_back(static_cast<char>(n));
    out.append(s.data(), n);
}

void putName(std::string& out, std::string_view prefix, std::string_view name) {
    const std::size_t total = prefix.size() + name.size();
    if (total > 255) {
        putShortString(out, std::string(prefix) + std::string(name));
        return;
    }
    out.push_back(static_cast<char>(total));
    out.append(prefix);
    out.append(name);
}

void putFloat(std::string& out, double v) {
    putTag(out, ValueTag::Extended);
    const Extended80 e = DoubleToExtended(v);
    out.append(reinterpret_cast<const char*>(e.data()), e.size());
}

void putText(std::string& out, std::string_view s) {
    if (s.size() <= 255) {
        putTag(out, ValueTag::String);
        out.push_back(static_cast<char>(s.size()));
    } else {
        putTag(out, ValueTag::LString);
        putLE(out, s.size(), 4);
    }
    out.append(s);
}

void putBinary(std::string& out, std::string_view s) {
    putTag(out, ValueTag::Binary);
    putLE(out, s.size(), 4);
    out.append(s);
}

bool isDefault(const PropInfo& p, std::int64_t value) {
    return p.hasDefault && value == p.defaultValue;
}

void writeObjectBody(std::string& out, const StreamObject& obj);
void writeProperties(std::string& out, const StreamObject& obj, std::string_view prefix);

void writeProperty(std::string& out, const StreamObject& obj, const PropInfo& p,
                   std::string_view prefix) {
    if (p.neverWritten)
        return;
    if (p.isStored && !p.isStored(obj))
        return;
    switch (p.kind) {
    case PropKind::Integer: {
        const std::int64_t v = p.getInt(obj);
        if (isDefault(p, v))
            return;
        putName(out, prefix, p.name);
        WriteIntegerValue(out, v);
        return;
    }
    case PropKind::Float: {
        const double v = p.getFloat(obj);
        if (v == 0)
            return;
        putName(out, prefix, p.name);
        putFloat(out, v);
        return;
    }
    case PropKind::Text: {
        const std::string_view v = p.getText(obj);
        if (v.empty())
            return;
        putName(out, prefix, p.name);
        putText(out, v);
        return;
    }
    case PropKind::Reference: {
        const std::string_view v = p.getText(obj);
        if (v.empty())
            return;
        putName(out, prefix, p.name);
        putTag(out, ValueTag::Ident);
        putShortString(out, v);
        return;
    }
    case PropKind::Boolean: {
        const std::int64_t v = p.getInt(obj);
        if (isDefault(p, v))
            return;
        putName(out, prefix, p.name);
        putTag(out, v ? ValueTag::True : ValueTag::False);
        return;
    }
    case PropKind::Enumeration: {
        const std::int64_t v = p.getInt(obj);
        if (isDefault(p, v))
            return;
        putName(out, prefix, p.name);
        if (v >= 0 && static_cast<std::size_t>(v) < p.names.size()) {
            putTag(out, ValueTag::Ident);
            putShortString(out, p.names[static_cast<std::size_t>(v)]);
        } else {
            WriteIntegerValue(out, v);
        }
        return;
    }
    case PropKind::Set: {
        const std::int64_t v = p.getInt(obj);
        if (isDefault(p, v))
            return;
        putName(out, prefix, p.name);
        putTag(out, ValueTag::Set);
        for (std::size_t bit = 0; bit < p.names.size() && bit < 64; ++bit)
            if (v & (std::int64_t{1} << bit))
                putShortString(out, p.names[bit]);
        out.push_back('\0');
        return;
    }
    case PropKind::Binary: {
        const std::string_view v = p.getText(obj);
        if (!p.isStored && v.empty())
            return;
        putName(out, prefix, p.name);
        putBinary(out, v);
        return;
    }
    case PropKind::StringList: {
        putName(out, prefix, p.name);
        putTag(out, ValueTag::List);
        for (const auto& s : p.getStrings(obj))
            putText(out, s);
        putTag(out, ValueTag::Null);
        return;
    }
    case PropKind::Collection: {
        const StreamCollection* coll = p.collection(obj);
        putName(out, prefix, p.name);
        putTag(out, ValueTag::Collection);
        for (std::size_t i = 0; i < coll->itemCount(); ++i) {
            putTag(out, ValueTag::List);
            writeProperties(out, coll->itemAt(i), {});
            putTag(out, ValueTag::Null);
        }
        putTag(out, ValueTag::Null);
        return;
    }
    case PropKind::Object: {
        const StreamObject* sub = p.object(obj);
        if (!sub)
            return;
        std::string path(prefix);
        path += p.name;
        path += '.';
        writeProperties(out, *sub, path);
        return;
    }
    }
}

void writeProperties(std::string& out, const StreamObject& obj, std::string_view prefix) {
    const ClassInfo& info = obj.classInfo();
    for (const auto& p : info.properties)
        writeProperty(out, obj, p, prefix);
    for (const auto& p : info.extraProperties)
        writeProperty(out, obj, p, prefix);
}

void writeObjectBody(std::string& out, const StreamObject& obj) {
    putShortString(out, obj.classInfo().className);
    putShortString(out, obj.isComponent() ? obj.componentName() : std::string());
    writeProperties(out, obj, {});
    putTag(out, ValueTag::Null);
    for (std::size_t i = 0; i < obj.childCount(); ++i)
        writeObjectBody(out, *obj.child(i));
    putTag(out, ValueTag::Null);
}

} // namespace

void WriteIntegerValue(std::string& out, std::int64_t v) {
    if (v >= -128 && v <= 127) {
        putTag(out, ValueTag::Int8);
        putLE(out, static_cast<std::uint64_t>(v), 1);
    } else if (v >= -32768 && v <= 32767) {
        putTag(out, ValueTag::Int16);
        putLE(out, static_cast<std::uint64_t>(v), 2);
    } else if (v >= INT32_MIN && v <= INT32_MAX) {
        putTag(out, ValueTag::Int32);
        putLE(out, static_cast<std::uint64_t>(v), 4);
    } else {
        putTag(out, ValueTag::Int64);
        putLE(out, static_cast<std::uint64_t>(v), 8);
    }
}

void WriteObject(std::string& out, const StreamObject& obj) {
    out.append(kStreamSignature);
    writeObjectBody(out, obj);
}

std::string WriteObject(const StreamObject& obj) {
    std::string out;
    WriteObject(out, obj);
    return out;
}

void WriteTextValue(std::string& out, std::string_view text) { putText(out, text); }

void WriteDateValue(std::string& out, double date) {
    putTag(out, ValueTag::Date);
    putLE(out, std::bit_cast<std::uint64_t>(date), 8);
}

} // namespace lynkora::ObjectStream
