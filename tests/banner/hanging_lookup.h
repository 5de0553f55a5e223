#pragma once

// The banner's test programs replace the C library's getaddrinfo() with one that never answers,
// as when the resolver swallows every query: a host name in a test can never reach a server
// outside this machine, and a fetch shows what it does while a lookup hangs.

// True when libcurl's lookups reach the replacement rather than the C library.
bool nameLookupsHang();
