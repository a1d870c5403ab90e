#include "StreamObject.h"

#include "Errors.h"

namespace lynkora {

namespace {

const PropInfo* findIn(const std::vector<PropInfo>& list, std::string_view name) {
    // Nearly every name is spelled as written: found at the cost of a comparison of bytes.
    for (const auto& p : list)
        if (p.name == name)
            return &p;
    // Property names are identifiers: matched ignoring ASCII case, as the stream's readers do.
    for (const auto& p : list) {
        if (p.name.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            unsigned char a = static_cast<unsigned char>(p.name[i]);
            unsigned char b = static_cast<unsigned char>(name[i]);
            if (a >= 'A' && a <= 'Z')
                a += 'a' - 'A';
            if (b >= 'A' && b <= 'Z')
                b += 'a' - 'A';
            same = a == b;
        }
        if (same)
            return &p;
    }
    return nullptr;
}

} // namespace

const PropInfo* ClassInfo::findProperty(std::string_view name) const {
    return findIn(properties, name);
}

const PropInfo* ClassInfo::findExtraProperty(std::string_view name) const {
    return findIn(extraProperties, name);
}

void StreamObject::adoptChild(std::unique_ptr<StreamObject> /*child*/) {
    throw EReadError("Invalid stream format");
}

std::string StreamObject::displayName() const {
    if (isComponent()) {
        std::string name = componentName();
        if (!name.empty())
            return name;
    }
    return classInfo().className;
}

} // namespace lynkora
