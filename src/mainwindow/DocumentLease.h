#pragma once

#include <functional>
#include <memory>

namespace lynkora {

// Who holds the open document. Whatever works on it across an event loop (a dialog, a message
// box, a scan, a verification run, an import) holds a lease for as long as it does. While any
// lease is out nothing may close, replace or reopen the document: the window refuses those
// commands, and a file handed over by a second start waits until the last lease is back.
class DocumentLeases {
    struct State {
        int count = 0;
        std::function<void()> freed;
    };

public:
    class Lease {
    public:
        Lease() = default;
        Lease(Lease&& other) noexcept : m_state(std::move(other.m_state)) {}
        Lease& operator=(Lease&& other) noexcept;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease() { Release(); }
        void Release();
        bool Holds() const { return m_state != nullptr; }

    private:
        friend class DocumentLeases;
        explicit Lease(std::shared_ptr<State> state);
        // Shared, so that a lease outliving the window (a child object destroyed after it)
        // gives back into a counter that still exists.
        std::shared_ptr<State> m_state;
    };

    DocumentLeases() : m_state(std::make_shared<State>()) {}
    [[nodiscard]] Lease Take() { return Lease(m_state); }
    bool Held() const { return m_state->count > 0; }
    // Runs when the last lease is given back.
    void OnFreed(std::function<void()> freed) { m_state->freed = std::move(freed); }

private:
    std::shared_ptr<State> m_state;
};

} // namespace lynkora
