#pragma once

namespace lynkora {

using TDateTime = double;

// The current local date and time as days since 1899-12-30.
TDateTime NowDateTime();

} // namespace lynkora
