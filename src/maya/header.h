// The opening of every Maya ASCII file: name, date line, version and units.
#pragma once

#include <string_view>

#include "base/clock.h"
#include "maya/ma_writer.h"

namespace kestrun {

/// Writes the date of `time` as Maya dates its files: "Tue, Jun 05, 2001
/// 09:07:03 AM", every field two digits but the year, a twelve-hour clock.
void write_modified_date(MaWriter& out, const LocalTime& time);

/// Writes the header: "//Maya ASCII 3.0 scene", "//Name: " with `output_name`,
/// the "//Last modified:" line for `time`, the version requirement and the
/// unit settings, ending with an empty line.
void write_header(MaWriter& out, std::string_view output_name, const LocalTime& time);

}  // namespace kestrun
