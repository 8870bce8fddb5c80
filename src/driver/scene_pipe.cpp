#include "driver/scene_pipe.h"

#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "io/handover.h"
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

std::size_t bytes_of(const Mesh& mesh) {
  std::size_t bytes = bytes_of(mesh.vertices) + bytes_of(mesh.faces) + bytes_of(mesh.colors) +
                      bytes_of(mesh.color_faces) + bytes_of(mesh.corner_normals) +
                      bytes_of(mesh.face_normals);
  for (const Mesh::Channel& channel : mesh.channels)
    bytes += bytes_of(channel.coordinates) + bytes_of(channel.faces);
  return bytes;
}

/// About the memory a part holds; the parts that are not objects (the
/// timing, the materials, the end, a failure) are handed over at once.
std::size_t bytes_of(const Part& part) {
  const auto* object = std::get_if<SceneObject>(&part.content);
  if (object == nullptr) return kBatchBytes;
  std::size_t bytes = sizeof(Part) + object->name.size() + object->parent.size() +
                      bytes_of(object->animation) + bytes_of(object->target_animation) +
                      bytes_of(object->visibility.keys) + bytes_of(object->light_animation) +
                      bytes_of(object->camera_animation);
  if (const std::optional<Mesh>& mesh = object->mesh) bytes += bytes_of(*mesh);
  for (const Mesh& mesh : object->mesh_animation) bytes += bytes_of(mesh);
  for (const ShapeLine& line : object->shape_lines) bytes += bytes_of(line.points);
  return bytes;
}

using Batch = std::vector<Part>;

/// The reading thread's sink: hands every part over with its warnings, small
/// objects gathered into batches, a large one alone. Once the writing side
/// has stopped, it drops what it is given and asks the reader for no more.
class HandingSink final : public SceneSink {
 public:
  explicit HandingSink(Handover<Batch>& handover)
      : handover_(handover), warnings_([this](std::string_view line) { told_.emplace_back(line); }) {}

  Warnings& warnings() { return warnings_; }

  void on_timing(const SceneTiming& timing) override { give(timing); }
  void on_materials(std::vector<Material> materials) override { give(std::move(materials)); }
  void on_object(SceneObject object) override { give(std::move(object)); }
  [[nodiscard]] bool wants_more() const override { return !stopped_; }

  template <class Content>
  void give(Content&& content) {
    if (stopped_) return;
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
    std::optional<Batch> next = handover_.give(std::move(batch_));
    stopped_ = !next;
    batch_ = next ? std::move(*next) : Batch{};
    batch_bytes_ = 0;
  }

  Handover<Batch>& handover_;
  bool stopped_ = false;
  Batch batch_;
  std::size_t batch_bytes_ = 0;
  std::vector<std::string> told_;
  Warnings warnings_;
};

}  // namespace

void read_scene_alongside(ByteSource& input, SceneSink& sink, Warnings& warnings) {
  Handover<Batch> handover;
  std::thread reading;
  try {
    reading = std::thread([&input, &handover] {
      HandingSink handing(handover);
      try {
        reader::read_ase_scene(input, handing, handing.warnings());
        handing.give(EndOfScene{});
      } catch (...) {  // The reading failed (a bad header, a failed read, no memory).
        handing.give(std::current_exception());
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
    Handover<Batch>& handover;
    std::thread& thread;
    ~Joiner() {
      handover.stop();
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
