#include "hanging_lookup.h"

#include <chrono>
#include <dlfcn.h>
#include <netdb.h>
#include <thread>

// Defined in the executable, which exports it, so that libcurl's calls bind here instead of to
// the C library. The caller's thread waits an hour before hearing that the name is unknown.
extern "C" int getaddrinfo(const char *__restrict, const char *__restrict,
    const addrinfo *__restrict, addrinfo **__restrict) noexcept
{
    std::this_thread::sleep_for(std::chrono::hours(1));
    return EAI_AGAIN;
}

bool nameLookupsHang()
{
    return dlsym(RTLD_DEFAULT, "getaddrinfo") == reinterpret_cast<void *>(&getaddrinfo);
}
