// A timer for the probes of an estimate.
#ifndef EGYPTE_ESTIMATION_DELAI_H
#define EGYPTE_ESTIMATION_DELAI_H

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace egypte {

// Sets `arret` once the time is up, unless told first that the probes are
// over: a probe still walking then stops between two steps of its leaf, and
// is not counted, as the next one would not have been.
class Delai {
public:
    Delai(std::chrono::steady_clock::time_point fin, std::atomic<bool>& arret)
        : garde_([this, fin, &arret] {
              std::unique_lock<std::mutex> l(m_);
              if (!cv_.wait_until(l, fin, [this] { return fini_; })) arret.store(true);
          })
    {
    }
    ~Delai()
    {
        {
            std::lock_guard<std::mutex> l(m_);
            fini_ = true;
        }
        cv_.notify_all();
        garde_.join();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool fini_ = false;
    std::thread garde_;
};

}  // namespace egypte

#endif
