#pragma once

#include <QLockFile>
#include <memory>

// Only one copy runs per user: a lock file in the temporary folder, named after the
// application's mutex name. A lock left by a copy that died is taken over.
class SingleInstance {
public:
    static constexpr const char* kMutexName = "VELA_Video_App_0821A470-E13F-11D3-BC36-006090209674";

    // True when this process now holds the lock.
    bool Acquire();
    void Release();
    QString LockPath() const;

private:
    std::unique_ptr<QLockFile> m_lock;
};
