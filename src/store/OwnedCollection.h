#pragma once

#include "StreamObject.h"

#include <memory>
#include <vector>

namespace lynkora {

// An ordered collection that owns its streamed items (settings collections).
template <class Item>
class TOwnedCollection : public StreamCollection {
public:
    Item& Add() {
        m_items.push_back(std::make_unique<Item>());
        Added(*m_items.back());
        return *m_items.back();
    }
    std::size_t Count() const { return m_items.size(); }
    Item& Items(std::size_t i) { return *m_items[i]; }
    const Item& Items(std::size_t i) const { return *m_items[i]; }
    void Delete(std::size_t i) {
        if (i < m_items.size())
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
    }
    void Clear() { m_items.clear(); }

    std::size_t itemCount() const override { return m_items.size(); }
    const StreamObject& itemAt(std::size_t i) const override { return *m_items[i]; }
    StreamObject& addItem() override { return Add(); }
    void clearItems() override { m_items.clear(); }

protected:
    // Runs for every new item (identities, defaults).
    virtual void Added(Item&) {}
    std::vector<std::unique_ptr<Item>> m_items;
};

} // namespace lynkora
