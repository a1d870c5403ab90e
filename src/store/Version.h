#pragma once

namespace lynkora {

// The program's own version text, as written into every data file it opens.
inline constexpr const char* kProgramVersion = "4.0.2.312";
inline constexpr const char* kProgramTitle = "Lynkora 4.0";

} // namespace lynkora
