// OutputFile: a conversion's output file, replaced only by a complete output.
#pragma once

#include <memory>
#include <string>

#include "io/byte_sink.h"

namespace kestrun {

/// The output named by a path. A regular file, or a name not yet taken, is
/// written to a new temporary file in the same directory, which takes the
/// output's place only when commit() is called: a failed run (an input that
/// is missing or no scene, swapped arguments, a full disk) leaves an existing
/// output exactly as it was, and removes the temporary file. A symbolic link
/// stays a link: the file it leads to is replaced. Anything else (/dev/null,
/// /dev/stdout, a pipe, a terminal) is written directly, as it comes.
class OutputFile {
 public:
  /// Opens the output `path`, or returns null if it cannot be written: a
  /// missing directory, a directory, an empty name, no permission, a file the
  /// user may not write, or a directory that cannot take the temporary file.
  static std::unique_ptr<OutputFile> open(const std::string& path);

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  /// Removes the temporary file unless it was committed.
  ~OutputFile();

  [[nodiscard]] ByteSink& sink() { return *sink_; }
  /// After the sink was closed: the temporary file takes the output's place.
  /// Throws Error(OutputWrite) if it cannot.
  void commit();

 private:
  OutputFile(std::unique_ptr<FileSink> sink, std::string temporary, std::string target);

  std::unique_ptr<FileSink> sink_;
  std::string temporary_;  // Empty when the output is written directly.
  std::string target_;     // The file the temporary one replaces.
};

}  // namespace kestrun
