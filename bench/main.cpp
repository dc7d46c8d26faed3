// Figures of the record and restore commands run in-process against the stand-in model, printed one
// a line as "name: value".
//
//   quarnel_bench [rows] [columns]
//
// The record and restore figures use a sheet with column A filled to `rows` and row 1 to `columns`.
// The defaults, 65536 and 256, are the largest sheet the record looks at. The load figures always
// restore 65,536 + 256 lines.
//
// The tool's own time is measured by running the same commands against an Excel that answers
// every call at once from fixed values; the rest of a run against the model is the model's.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "measure.hpp"

int main(int argc, char** argv) {
  std::int32_t rows = 65536;
  std::int32_t columns = 256;
  if (argc > 1) rows = static_cast<std::int32_t>(std::strtol(argv[1], nullptr, 10));
  if (argc > 2) columns = static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10));
  if (rows < 1 || rows > 65536 || columns < 1 || columns > 256) {
    std::fprintf(stderr, "usage: quarnel_bench [rows 1..65536] [columns 1..256]\n");
    return 2;
  }
  quarnel::bench::RecordRestoreFigures(rows, columns);
  quarnel::bench::LoadFigures();
  quarnel::bench::RunsFigures();
  return 0;
}
