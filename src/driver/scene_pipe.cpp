#include "driver/scene_pipe.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
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

/// Small objects travel in batches of up to this many parts and about this
/// many bytes: every hand-over wakes both threads, and for thousands of small
/// objects (helpers, bones) the wake-ups cost more than the reading. A batch
/// is made room for once, so it never grows by copying.
constexpr std::size_t kBatchParts = 64;
constexpr std::size_t kBatchBytes = std::size_t{1} << 20;

template <class T>
std::size_t bytes_of(const std::vector<T>& list) {
  return list.size() * sizeof(T);
}

std::size_t bytes_of(const NodeAnimation& animation) {
  return bytes_of(animation.position.keys) + bytes_of(animation.rotation.keys) +
         bytes_of(animation.scale.keys);
}

/// About the memory a part holds; the parts that are not objects (the
/// timing, the materials, the end, a failure) are handed over at once.
std::size_t bytes_of(const Part& part) {
  const auto* object = std::get_if<SceneObject>(&part.content);
  if (object == nullptr) return kBatchBytes;
  std::size_t bytes = sizeof(Part) + object->name.size() + object->parent.size() +
                      bytes_of(object->animation) + bytes_of(object->target_animation);
  if (const std::optional<Mesh>& mesh = object->mesh) {
    bytes += bytes_of(mesh->vertices) + bytes_of(mesh->faces) + bytes_of(mesh->colors) +
             bytes_of(mesh->color_faces) + bytes_of(mesh->corner_normals);
    for (const Mesh::Channel& channel : mesh->channels)
      bytes += bytes_of(channel.coordinates) + bytes_of(channel.faces);
  }
  return bytes;
}

using Batch = std::vector<Part>;

/// Thrown on the reading thread to stop it when the writing side has ended.
struct Abandoned {};

/// A hand-over of one batch: the reader waits until the writer has taken it,
/// so that it never reads more than one batch ahead. The batches go round:
/// the writer gives back the one it emptied, and the reader fills it next, so
/// their room is made once.
class Handover {
 public:
  /// Hands `batch` over; returns an empty batch to fill next.
  Batch give(Batch batch) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !slot_ || abandoned_; });
    if (abandoned_) throw Abandoned{};
    slot_ = std::move(batch);
    changed_.notify_all();
    changed_.wait(lock, [this] { return !slot_ || abandoned_; });
    if (abandoned_) throw Abandoned{};
    return std::exchange(spare_, {});
  }

  /// Waits for the next batch; `emptied`, the batch taken before, goes back.
  Batch take(Batch emptied) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return slot_.has_value(); });
    Batch batch = std::move(*slot_);
    slot_.reset();
    spare_ = std::move(emptied);
    changed_.notify_all();
    return batch;
  }

  void abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Batch> slot_;
  Batch spare_;
  bool abandoned_ = false;
};

/// The reading thread's sink: hands every part over with its warnings, small
/// objects gathered into batches, a large one alone.
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
    Part part{std::forward<Content>(content), std::exchange(told_, {}), warnings_.take_pending()};
    const std::size_t bytes = bytes_of(part);
    if (bytes >= kBatchBytes) hand_over_batch();
    if (batch_.empty()) batch_.reserve(kBatchParts);
    batch_.push_back(std::move(part));
    batch_bytes_ += bytes;
    if (batch_bytes_ >= kBatchBytes || batch_.size() == kBatchParts) hand_over_batch();
  }

 private:
  void hand_over_batch() {
    if (batch_.empty()) return;
    batch_ = handover_.give(std::move(batch_));
    batch_bytes_ = 0;
  }

  Handover& handover_;
  Batch batch_;
  std::size_t batch_bytes_ = 0;
  std::vector<std::string> told_;
  Warnings warnings_;
};

}  // namespace

void read_scene_alongside(ByteSource& input, SceneSink& sink, Warnings& warnings) {
  Handover handover;
  std::thread reading;
  try {
    reading = std::thread([&input, &handover] {
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
  } catch (const std::system_error&) {
    // No second thread to be had (a limit on processes or memory): the scene
    // is read on this one, each part going straight to the sink.
    reader::read_ase_scene(input, sink, warnings);
    return;
  }
  // However the writing side ends, the reading thread is stopped and joined.
  struct Joiner {
    Handover& handover;
    std::thread& thread;
    ~Joiner() {
      handover.abandon();
      thread.join();
    }
  } joiner{handover, reading};

  Batch batch;
  for (;;) {
    batch.clear();
    batch = handover.take(std::move(batch));
    for (Part& part : batch) {
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
}

}  // namespace kestrun
