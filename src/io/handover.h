// Handover: one value at a time from a producing thread to a consuming one.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

namespace kestrun {

/// Hands values of `T` (batches of parts, say) from a producer thread to a
/// consumer thread, one at a time: the producer waits until the consumer has
/// taken each value, so it never runs more than one value ahead. The values go
/// round: the consumer gives back the one it emptied, and the producer fills
/// it next, so their room is made once. When the consumer stops taking, the
/// producer is told by a return value, never by an exception.
template <class T>
class Handover {
 public:
  /// Producer: hands `value` over and waits until it is taken. Returns the
  /// value to fill next, or nothing once the consumer has stopped (what was
  /// not taken is dropped).
  std::optional<T> give(T value) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !slot_ || stopped_; });
    if (stopped_) return std::nullopt;
    slot_ = std::move(value);
    changed_.notify_all();
    changed_.wait(lock, [this] { return !slot_ || stopped_; });
    if (slot_) {  // Stopped before it was taken.
      slot_.reset();
      return std::nullopt;
    }
    return std::exchange(spare_, T{});
  }

  /// Consumer: waits for the next value; `emptied`, the one taken before,
  /// goes back to the producer.
  T take(T emptied) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return slot_.has_value(); });
    T value = std::move(*slot_);
    slot_.reset();
    spare_ = std::move(emptied);
    changed_.notify_all();
    return value;
  }

  /// Consumer: takes nothing more; a waiting or later give returns at once.
  void stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  /// Producer: whether the consumer still takes values.
  [[nodiscard]] bool stopped() {
    const std::lock_guard lock(mutex_);
    return stopped_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<T> slot_;
  T spare_{};
  bool stopped_ = false;
};

}  // namespace kestrun
