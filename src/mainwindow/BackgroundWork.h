#pragma once

#include <functional>

namespace lynkora {

// Runs `work` on a thread of its own while the calling GUI thread goes on painting and handling
// timers and the system's events (user input is held back), and returns once it is done,
// rethrowing what it threw. For work on data that no view shows meanwhile, such as loading a
// large collection, so the window never stops answering while it waits.
void RunWhileWindowResponds(const std::function<void()>& work);

} // namespace lynkora
