// The library for the web page's worker (web/site/worker.js), through
// Emscripten's embind:
//
//     const result = module.convert(bytes, {extended: true, inputName: "box.ase",
//                                          outputName: "box.ma"}, onProgress);
//
// `bytes` is a Uint8Array of the ASE file, taken byte for byte (no text
// decoding). onProgress(fraction, text) is called as the input is read (the
// fraction of its bytes) and with each line of the command line's progress
// text. The result holds code, message, warnings, counts and the Maya ASCII
// text as a Uint8Array `output`.
#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <kestrun/kestrun.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

namespace {

using emscripten::val;

constexpr std::size_t kProgressStep = 1 << 20;  // Input bytes between two progress calls.

/// Serves a string's bytes a megabyte at a time, telling how far it has come.
class ProgressBuffer final : public std::streambuf {
 public:
  ProgressBuffer(std::string& bytes, val on_progress) : bytes_(bytes), on_progress_(std::move(on_progress)) {
    setg(bytes_.data(), bytes_.data(), bytes_.data());
  }

 protected:
  int_type underflow() override {
    const std::size_t at = static_cast<std::size_t>(gptr() - bytes_.data());
    if (at >= bytes_.size()) return traits_type::eof();
    const std::size_t end = std::min(bytes_.size(), at + kProgressStep);
    on_progress_(static_cast<double>(at) / static_cast<double>(bytes_.size()), val::null());
    setg(bytes_.data(), bytes_.data() + at, bytes_.data() + end);
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::string& bytes_;
  val on_progress_;
};

bool flag(const val& options, const char* name, bool otherwise) {
  const val value = options[name];
  return value.isUndefined() ? otherwise : value.as<bool>();
}

std::string text_of(const val& options, const char* name, const char* otherwise) {
  const val value = options[name];
  return value.isUndefined() ? otherwise : value.as<std::string>();
}

val bytes_val(const std::string& bytes) {
  // A copy in JavaScript's memory, so it outlives this call.
  return val::global("Uint8Array")
      .new_(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())))
      .call<val>("slice");
}

val convert(const val& input, const val& options_in, const val& on_progress) {
  std::string bytes(input["length"].as<std::size_t>(), '\0');
  val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<unsigned char*>(bytes.data())))
      .call<void>("set", input);

  kestrun::Options options;
  options.geometry = flag(options_in, "geometry", true);
  options.animation = flag(options_in, "animation", true);
  options.lights = flag(options_in, "lights", true);
  options.cameras = flag(options_in, "cameras", true);
  options.scene = flag(options_in, "scene", true);
  options.extended = flag(options_in, "extended", false);
  options.z_up = flag(options_in, "zUp", false);
  options.on_progress = [&on_progress](std::string_view text) {
    on_progress(val::undefined(), std::string(text));
  };
  const kestrun::Names names{text_of(options_in, "inputName", "input.ase"),
                             text_of(options_in, "outputName", "output.ma")};

  ProgressBuffer buffer(bytes, on_progress);
  std::istream in(&buffer);
  std::ostringstream out;
  const kestrun::Result result = kestrun::convert_stream(in, out, options, names);
  on_progress(1.0, val::null());

  val warnings = val::array();
  for (const std::string& warning : result.warnings) warnings.call<void>("push", warning);
  val counts = val::object();
  counts.set("objects", result.counts.objects);
  counts.set("meshes", result.counts.meshes);
  counts.set("lights", result.counts.lights);
  counts.set("cameras", result.counts.cameras);
  counts.set("materials", result.counts.materials);
  counts.set("animationCurves", result.counts.animation_curves);
  counts.set("firstFrame", result.counts.first_frame);
  counts.set("lastFrame", result.counts.last_frame);

  val answer = val::object();
  answer.set("code", static_cast<int>(result.code));
  answer.set("message", result.message);
  answer.set("warnings", warnings);
  answer.set("counts", counts);
  answer.set("output", bytes_val(out.str()));
  return answer;
}

}  // namespace

EMSCRIPTEN_BINDINGS(kestrun) {
  emscripten::function("convert", &convert);
  emscripten::function("version",
                       emscripten::optional_override([] { return std::string(kestrun::version()); }));
}
