#include "DocumentLease.h"

namespace lynkora {

DocumentLeases::Lease::Lease(std::shared_ptr<State> state) : m_state(std::move(state)) { ++m_state->count; }

DocumentLeases::Lease& DocumentLeases::Lease::operator=(Lease&& other) noexcept {
    if (this != &other) {
        Release();
        m_state = std::move(other.m_state);
    }
    return *this;
}

void DocumentLeases::Lease::Release() {
    const std::shared_ptr<State> state = std::move(m_state);
    if (state && --state->count == 0 && state->freed)
        state->freed();
}

} // namespace lynkora
