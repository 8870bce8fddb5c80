#include "driver/scene_pipe.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "reader/scene_reader.h"

namespace kestrun {
namespace {

struct EndOfScene {};

/// One part on its way from the reading thread, with what its reading told.
struct Part {
  std::variant<SceneTiming, std::vector<Material>, SceneObject, EndOfScene, std::exception_ptr> content;
  std::vector<std::string> told;
  std::vector<Warnings::Pending> noted;
};

/// Thrown on the reading thread to stop it when the writing side has ended.
struct Abandoned {};

/// A hand-over of one part: the reader waits until the writer has taken it,
/// so that it never reads more than one part ahead.
class Handover {
 public:
  void give(Part part) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !slot_ || abandoned_; });
    if (abandoned_) throw Abandoned{};
    slot_ = std::move(part);
    changed_.notify_all();
    changed_.wait(lock, [this] { return !slot_ || abandoned_; });
    if (abandoned_) throw Abandoned{};
  }

  Part take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return slot_.has_value(); });
    Part part = std::move(*slot_);
    slot_.reset();
    changed_.notify_all();
    return part;
  }

  void abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Part> slot_;
  bool abandoned_ = false;
};

/// The reading thread's sink: hands every part over with its warnings.
class HandingSink final : public SceneSink {
 public:
  explicit HandingSink(Handover& handover)
      : handover_(handover), warnings_([this](std::string_view line) { told_.emplace_back(line); }) {}

  Warnings& warnings() { return warnings_; }

  void on_timing(const SceneTiming& timing) override { give(timing); }
  void on_materials(std::vector<Material> materials) override { give(std::move(materials)); }
  void on_object(SceneObject object) override { give(std::move(object)); }

  template <class Content>
  void give(Content&& content) {
    handover_.give(Part{std::forward<Content>(content), std::exchange(told_, {}), warnings_.take_pending()});
  }

 private:
  Handover& handover_;
  std::vector<std::string> told_;
  Warnings warnings_;
};

}  // namespace

void read_scene_alongside(ByteSource& input, SceneSink& sink, Warnings& warnings) {
  Handover handover;
  std::thread reading([&input, &handover] {
    HandingSink handing(handover);
    try {
      reader::read_ase_scene(input, handing, handing.warnings());
      handing.give(EndOfScene{});
    } catch (const Abandoned&) {
      // The writing side has ended: nothing waits for more parts.
    } catch (...) {
      try {
        handing.give(std::current_exception());
      } catch (const Abandoned&) {
      }
    }
  });
  // However the writing side ends, the reading thread is stopped and joined.
  struct Joiner {
    Handover& handover;
    std::thread& thread;
    ~Joiner() {
      handover.abandon();
      thread.join();
    }
  } joiner{handover, reading};

  for (;;) {
    Part part = handover.take();
    for (const std::string& line : part.told) warnings.warn(line);
    warnings.restore(std::move(part.noted));
    if (auto* timing = std::get_if<SceneTiming>(&part.content)) {
      sink.on_timing(*timing);
    } else if (auto* materials = std::get_if<std::vector<Material>>(&part.content)) {
      sink.on_materials(std::move(*materials));
    } else if (auto* object = std::get_if<SceneObject>(&part.content)) {
      sink.on_object(std::move(*object));
    } else if (auto* failure = std::get_if<std::exception_ptr>(&part.content)) {
      std::rethrow_exception(*failure);
    } else {
      return;  // The end of the scene.
    }
  }
}

}  // namespace kestrun
