// libFuzzer entry point for the repair's reader of damaged library files: any bytes at all
// are read as a database file. Reading must end, without reading outside the input, however
// the pages point at each other.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "admin/PageSalvage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::admin::SalvageBytes(std::vector<std::uint8_t>(data, data + size));
  return 0;
}
