// Brings a collection of sound files into a library without a dialog, one song per file,
// through the same checks and wrapping as the recorder's import: a WAVE file is judged by
// the wave audio device and copied, an MP3 file is judged and wrapped, its ID3v1 tag giving
// the song's details. What the dialog would ask of the person is taken from the file: the
// name and artist from the tag, else from a "Artist - Name" file name, else the file name
// and the name of its folder.
#pragma once

#include <string>
#include <vector>

namespace vx {
class CMciDevice;
namespace dao {
class DaoDatabase;
}
}  // namespace vx

namespace vx::admin {

// The sound files among paths, in order: a named file as it is, a folder searched through
// for files ending in .wav or .mp3 (any case), sorted by path. Paths that name nothing are
// put in missing.
std::vector<std::string> CollectSoundFiles(const std::vector<std::string>& paths,
                                           std::vector<std::string>& missing);

enum class ImportOutcome { kImported, kRefused, kSkipped };

struct ImportedFile {
  ImportOutcome outcome = ImportOutcome::kRefused;
  // Imported: the song's file; refused: why; skipped: the song already in the library.
  std::string detail;
};

struct BatchImportSettings {
  std::string libraryFolder;
  // The song type of every new song; empty for the first type of the library.
  std::string typeCode;
  // Deletes each source once its song is complete.
  bool move = false;
};

class BatchImporter {
 public:
  // db is the open library of settings.libraryFolder.
  BatchImporter(dao::DaoDatabase& db, CMciDevice& mci, BatchImportSettings settings);

  // Imports one file; never throws for a bad file or a failed database write (the file is
  // refused with the reason then, and nothing of it is left in the library).
  ImportedFile Import(const std::string& source);

 private:
  ImportedFile ImportMp3(const std::string& source);
  ImportedFile ImportWav(const std::string& source);

  dao::DaoDatabase& db_;
  CMciDevice& mci_;
  BatchImportSettings settings_;
};

// The type codes of the library, sorted.
std::vector<std::string> SongTypeCodes(dao::DaoDatabase& db);

}  // namespace vx::admin
