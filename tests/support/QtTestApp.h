#pragma once

namespace lynkora::test {

// Creates the process's QApplication (offscreen) on first use; widgets, screens and the
// clipboard need one.
void EnsureQtApp();

} // namespace lynkora::test
