#pragma once

namespace lynkora {

// The program's own version text, as written into every data file it opens.
inline constexpr const char* kProgramVersion = "4.0.2.312";
inline constexpr const char* kProgramTitle = "Lynkora 4.0";
// The product's web site (Help menu, About box, exported pages).
inline constexpr const char* kWebSite = "https://www.lynkora.net/";

} // namespace lynkora
