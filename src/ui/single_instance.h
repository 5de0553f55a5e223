#pragma once

#include <QString>

namespace tavrin {

// Tells whether another instance of the program is running, by a lock on a file in the user's
// runtime folder. The kernel releases the lock when its process ends, however it ends, so
// whatever a crash leaves behind at that path never blocks a later start.
class SingleInstance
{
public:
    SingleInstance() = default;
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    ~SingleInstance();

    // The lock file: "tavrin.lock" in the user's runtime folder, or "tavrin-<uid>.lock" in the
    // temporary folder when there is no runtime folder.
    static QString lockFilePath();

    // Takes the lock for the life of this object; false only when another living process holds
    // it. When no lock can be had at all (an unwritable folder) the program runs rather than
    // refusing to start.
    bool acquire();

private:
    int fd_ = -1; // the open lock, or -1
};

} // namespace tavrin
