#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace tavrin {

// Tells whether another instance of the program is running, by a lock file in the user's
// runtime folder. A lock left behind by a process that no longer exists is taken over.
class SingleInstance
{
public:
    // The lock file: "tavrin.lock" in the user's runtime folder.
    static QString lockFilePath();

    // Takes the lock; false only when another living process holds it. When the lock cannot be
    // created at all (an unwritable folder) the program runs rather than refusing to start.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace tavrin
