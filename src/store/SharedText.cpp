#include "SharedText.h"

#include <mutex>
#include <ostream>
#include <unordered_set>

namespace lynkora {

namespace {

struct Table {
    std::mutex lock;
    std::unordered_set<std::string> texts; // nodes never move: pointers to them stay valid
};

Table& Texts() {
    static Table* table = new Table; // outlives every static object that may still hold a text
    return *table;
}

} // namespace

const std::string& SharedText::Empty() {
    static const std::string* none = new std::string;
    return *none;
}

const std::string* SharedText::Intern(std::string_view text) {
    if (text.empty())
        return &Empty();
    Table& table = Texts();
    std::lock_guard<std::mutex> hold(table.lock);
    return &*table.texts.emplace(text).first;
}

std::ostream& operator<<(std::ostream& out, const SharedText& text) { return out << text.str(); }

} // namespace lynkora
