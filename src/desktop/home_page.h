#pragma once

namespace tavrin {

// The author's home page: opened by the About command and by the banner's "更多软件".
inline constexpr char kAuthorHomePage[] = "http://www.tavrin.example/";

} // namespace tavrin
