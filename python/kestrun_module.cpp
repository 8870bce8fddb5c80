// The Python module kestrun: the library's API for Python programs.
//
//     import kestrun
//     result = kestrun.convert("in.ase", "out.ma", extended=True)
//
// A failed conversion raises kestrun.Error with its code, message and result.
// The interpreter lock is released while a scene is converted, so threads of
// a Python program convert in parallel.
#include <kestrun/kestrun.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace py = pybind11;

namespace {

/// kestrun.Error, made when the module is imported; the module keeps it alive.
PyObject* error_type = nullptr;

kestrun::Options options_of(bool geometry, bool animation, bool lights, bool cameras, bool scene,
                            bool extended, bool z_up, bool verbose) {
  kestrun::Options options;
  options.geometry = geometry;
  options.animation = animation;
  options.lights = lights;
  options.cameras = cameras;
  options.scene = scene;
  options.extended = extended;
  options.z_up = z_up;
  options.print = verbose;
  return options;
}

/// `result`, or kestrun.Error raised with its code, message and the result itself.
kestrun::Result checked(kestrun::Result result) {
  if (result.ok()) return result;
  const py::object error = py::reinterpret_borrow<py::object>(error_type)(result.message);
  error.attr("code") = result.code;
  error.attr("message") = result.message;
  error.attr("result") = std::move(result);
  PyErr_SetObject(error_type, error.ptr());
  throw py::error_already_set();
}

/// `text` (str or bytes) as bytes without copying them: the view lasts as
/// long as `text` (bytes do not change; a str keeps its UTF-8 form).
std::string_view view_of(const py::object& text, const std::string& what) {
  char* bytes = nullptr;
  Py_ssize_t size = 0;
  if (py::isinstance<py::bytes>(text)) {
    PyBytes_AsStringAndSize(text.ptr(), &bytes, &size);
    return {bytes, static_cast<std::size_t>(size)};
  }
  if (!py::isinstance<py::str>(text)) throw py::type_error(what + " must be str or bytes");
  const char* utf8 = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
  if (utf8 == nullptr) {
    PyErr_Clear();
    throw py::type_error(what + " holds a lone surrogate, which has no UTF-8 form: pass it as bytes");
  }
  return {utf8, static_cast<std::size_t>(size)};
}

/// `text` (str or bytes) as bytes of its own: a str as UTF-8.
std::string bytes_of(const py::object& text, const std::string& what) {
  return std::string(view_of(text, what));
}

/// `text` as a new bytes object, copied with the interpreter unlocked (the
/// object is nobody else's yet): a large output does not hold up other threads.
py::bytes bytes_unlocked(const std::string& text) {
  PyObject* made = PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(text.size()));
  if (made == nullptr) throw py::error_already_set();
  auto bytes = py::reinterpret_steal<py::bytes>(made);
  char* into = PyBytes_AS_STRING(made);
  {
    const py::gil_scoped_release unlocked;
    std::memcpy(into, text.data(), text.size());
  }
  return bytes;
}

/// A path (str, bytes or os.PathLike) as the bytes the file system takes, as
/// open() takes it. A NUL stays in: the conversion refuses such a name.
std::string path_of(const py::object& path, const std::string& what) {
  py::object encoded;
  try {
    encoded = py::module_::import("os").attr("fsencode")(path);
  } catch (py::error_already_set& error) {
    if (!error.matches(PyExc_UnicodeEncodeError)) throw;
    throw py::type_error(what + " holds a lone surrogate, which no file name can hold");
  }
  return std::string(encoded.cast<py::bytes>());
}

/// The warnings as str: a name that is no UTF-8 (a Latin-1 name of an ANSI
/// export, a name cut inside a character) has U+FFFD where its bytes are not.
py::list warnings_of(const kestrun::Result& result) {
  py::list warnings;
  for (const std::string& warning : result.warnings) {
    PyObject* text = PyUnicode_DecodeUTF8(warning.data(), static_cast<Py_ssize_t>(warning.size()), "replace");
    if (text == nullptr) throw py::error_already_set();
    warnings.append(py::reinterpret_steal<py::str>(text));
  }
  return warnings;
}

}  // namespace

PYBIND11_MODULE(_kestrun, module) {
  module.doc() = "Converts 3ds Max ASE text scenes into Maya ASCII scenes.";
  module.attr("__version__") = kestrun::version();

  py::enum_<kestrun::ResultCode>(module, "ResultCode",
                                 "How a conversion ended, numbered as the command line's messages.")
      .value("ok", kestrun::ResultCode::ok)
#define KESTRUN_X(name, internal_name, number, message) .value(#name, kestrun::ResultCode::name)
          KESTRUN_FAILURES(KESTRUN_X)
#undef KESTRUN_X
      ;

  py::class_<kestrun::Counts> counts(module, "Counts", "What a conversion wrote.");
#define KESTRUN_X(type, name) counts.def_readonly(#name, &kestrun::Counts::name);
  KESTRUN_COUNTS(KESTRUN_X)
#undef KESTRUN_X
  counts.def("__repr__", [](const kestrun::Counts& c) {
    return "Counts(objects=" + std::to_string(c.objects) + ", meshes=" + std::to_string(c.meshes) +
           ", lights=" + std::to_string(c.lights) + ", cameras=" + std::to_string(c.cameras) +
           ", materials=" + std::to_string(c.materials) +
           ", animation_curves=" + std::to_string(c.animation_curves) +
           ", frames=" + std::to_string(c.first_frame) + ".." + std::to_string(c.last_frame) + ")";
  });

  py::class_<kestrun::Result>(module, "Result", "The outcome of one conversion.")
      .def_readonly("code", &kestrun::Result::code)
      .def_readonly("message", &kestrun::Result::message)
      .def_property_readonly("warnings", &warnings_of,
                             "the extended mode's warnings, as str (bytes that are no UTF-8 as U+FFFD)")
      .def_readonly("counts", &kestrun::Result::counts)
      .def_property_readonly(
          "output", [](const kestrun::Result& r) { return bytes_unlocked(r.output); },
          "convert_text only: the Maya ASCII text, as bytes")
      .def_property_readonly("ok", &kestrun::Result::ok)
      .def_property_readonly("exit_status", &kestrun::Result::exit_status)
      .def("__repr__", [](const kestrun::Result& r) {
        return "<kestrun.Result " + std::string(r.ok() ? "ok" : r.message) + ", " +
               std::to_string(r.warnings.size()) + " warnings>";
      });

  error_type = PyErr_NewExceptionWithDoc(
      "kestrun.Error", "A failed conversion: code (a ResultCode), message, and result (a Result).",
      PyExc_RuntimeError, nullptr);
  module.add_object("Error", py::handle(error_type));

  module.def(
      "convert",
      [](const py::object& input, const py::object& output, bool geometry, bool animation, bool lights,
         bool cameras, bool scene, bool extended, bool z_up, bool verbose) {
        const std::string input_path = path_of(input, "the input path");
        const std::string output_path = path_of(output, "the output path");
        const kestrun::Options options =
            options_of(geometry, animation, lights, cameras, scene, extended, z_up, verbose);
        kestrun::Result result;
        {
          const py::gil_scoped_release unlocked;
          result = kestrun::convert_file(input_path, output_path, options);
        }
        return checked(std::move(result));
      },
      "Converts the ASE file `input` into the Maya ASCII file `output`.", py::arg("input"), py::arg("output"),
      py::kw_only(), py::arg("geometry") = true, py::arg("animation") = true, py::arg("lights") = true,
      py::arg("cameras") = true, py::arg("scene") = true, py::arg("extended") = false,
      py::arg("z_up") = false, py::arg("verbose") = false);

  module.def(
      "convert_text",
      [](const py::object& text, bool geometry, bool animation, bool lights, bool cameras, bool scene,
         bool extended, bool z_up, const py::object& input_name, const py::object& output_name) {
        // A view, not a copy: `text` outlives the call, and the scene may be large.
        const std::string_view input = view_of(text, "the scene text");
        const kestrun::Options options =
            options_of(geometry, animation, lights, cameras, scene, extended, z_up, false);
        const kestrun::Names names{bytes_of(input_name, "input_name"), bytes_of(output_name, "output_name")};
        kestrun::Result result;
        {
          const py::gil_scoped_release unlocked;
          result = kestrun::convert_text(input, options, names);
        }
        return checked(std::move(result));
      },
      "Converts the ASE scene `text` (str or bytes); the result's `output` holds the Maya ASCII bytes.",
      py::arg("text"), py::kw_only(), py::arg("geometry") = true, py::arg("animation") = true,
      py::arg("lights") = true, py::arg("cameras") = true, py::arg("scene") = true,
      py::arg("extended") = false, py::arg("z_up") = false, py::arg("input_name") = "input.ase",
      py::arg("output_name") = "output.ma");
}
