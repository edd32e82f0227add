// The generated library the benchmarks share: 100,000 songs, 300,000 cue points and 1,000
// playlists of 20 entries, made once in the temporary folder and kept between runs.
//
// Songs: SongID i = 1..100000, name "SONG NUMBER i" (or "ENDLESS LOVE i" for every 50th),
// type "T" + i % 12, artist "ARTIST " + i % 3000, BPM 90 + i % 60, compression by i % 10:
// 0 'C' (CD), 1 'A', 2 'M', else ' '.
#pragma once

#include <string>

namespace vx::bench {

// The library file ("<temp>/vxbench-library/Velumix.vxl"), generated on first use.
const std::string& BenchLibraryFile();

}  // namespace vx::bench
