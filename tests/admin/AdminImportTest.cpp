// vxadmin import: a folder of WAVE and MP3 files becomes songs with their details, the same
// files again are skipped, bad files are refused with the checks' own reasons and leave
// nothing behind, --move and --type, a full disk, and an interrupted run.
#include <gtest/gtest.h>

#include <QProcess>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "admin/AdminCommands.h"
#include "import/ImportText.h"
#include "library/CSongRecordset.h"
#include "library/LibraryText.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/instance/InstanceLock.h"
#include "platform/riff/WaveFile.h"
#include "support/FileSizeLimit.h"
#include "support/RunTool.h"
#include "support/TestFolder.h"
#include "AdminRun.h"
#include "Mp3TestFiles.h"

namespace vx::admin {
namespace {

namespace fs = std::filesystem;


std::string Sources() { return test::TestFolder() + "/collection"; }

// `seconds` of 16-bit PCM made by sox at path (folders made as needed).
std::string Wav(const std::string& path, double seconds = 1.0, int rate = 44100, int bits = 16) {
  fs::create_directories(fs::path(path).parent_path());
  EXPECT_TRUE(test::RunTool({"sox", "-n", "-r", std::to_string(rate), "-c", "2", "-b",
                             std::to_string(bits), path, "synth", std::to_string(seconds), "sine",
                             "440"}));
  return path;
}

std::string Mp3(const std::string& path, const test::Bytes& tag = {}, double seconds = 2.0) {
  fs::create_directories(fs::path(path).parent_path());
  const test::Bytes bytes =
      test::Concat({test::LameMp3(44100, 2, {"-b", "128"}, seconds), tag});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

struct Row {
  std::int32_t id;
  std::string type, name, artist, album, length, media, date;
  bool operator<(const Row& other) const { return id < other.id; }
};

std::vector<Row> Rows(const std::string& library) {
  dao::DaoDatabase db;
  db.Open(library + "/Velumix.vxl", dao::OpenMode::ReadOnly);
  CSongRecordset songs(db);
  songs.SetSort("SongID");
  songs.Open(dao::OpenType::Snapshot);
  std::vector<Row> rows;
  for (; !songs.IsEOF(); songs.MoveNext()) {
    rows.push_back({songs.SongID, songs.SongTypeCode, songs.SongName, songs.SongArtist,
                    songs.SongAlbumName, songs.SongLength, songs.SongCompression,
                    songs.SongDate.ToIso().substr(0, 10)});
  }
  return rows;
}

// Every row has its song file and the Songs folder holds nothing else.
void ExpectRowsMatchFiles(const std::string& library) {
  std::set<std::string> expected;
  for (const Row& row : Rows(library)) {
    expected.insert(fs::path(SongFileName(library, static_cast<std::uint32_t>(row.id)))
                        .filename()
                        .string());
  }
  const std::vector<std::string> entries = test::FolderEntries(SongsFolder(library));
  EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), expected);
}

void AddType(const std::string& library, const std::string& code) {
  dao::DaoDatabase db;
  db.Open(library + "/Velumix.vxl");
  db.Execute("INSERT INTO SongType (SongTypeCode, SongTypeDescription) VALUES ('" + code +
             "', '" + code + "')");
}

TEST(AdminImport, FolderBecomesSongsAndTheSameFilesAreSkippedNextTime) {
  const std::string library = test::MakeTestLibrary();
  AddType(library, "HOUSE");
  AddType(library, "DISCO");
  Mp3(Sources() + "/tagged.mp3", test::Id3v1Tag("Night Drive", "Neon Fox", "1999", 17, "Roads"));
  Mp3(Sources() + "/Velvet Crew - Slow Burn.MP3");
  Wav(Sources() + "/Lena K/Morning.wav", 1.5);
  std::ofstream(Sources() + "/cover.jpg") << "not audio";

  Result first = Admin({"import", Sources()});
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_NE(first.out.find("Imported 3, refused 0, skipped 0"), std::string::npos) << first.out;

  // Sorted by path (capitals first); tag details first, then "Artist - Name", then the folder as artist; the
  // first type of the library when none is named.
  const std::vector<Row> rows = Rows(library);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, "MORNING");
  EXPECT_EQ(rows[0].artist, "LENA K");
  EXPECT_EQ(rows[0].length, "00:01.500");
  EXPECT_EQ(rows[0].media, " ");
  EXPECT_EQ(rows[0].type, "DISCO");
  EXPECT_EQ(rows[1].name, "SLOW BURN");
  EXPECT_EQ(rows[1].artist, "VELVET CREW");
  EXPECT_EQ(rows[1].media, "M");
  EXPECT_EQ(rows[2].name, "NIGHT DRIVE");
  EXPECT_EQ(rows[2].artist, "NEON FOX");
  EXPECT_EQ(rows[2].album, "ROADS");
  EXPECT_EQ(rows[2].date, "1999-01-01");
  EXPECT_EQ(rows[2].media, "M");
  ExpectRowsMatchFiles(library);
  // The MP3 songs are wrapped: a WAVE file holding the MP3 bytes.
  riff::WaveLayout wrapped;
  ASSERT_EQ(riff::ReadWaveLayout(SongFileName(library, 2), wrapped), riff::WaveError::kNone);
  EXPECT_EQ(wrapped.format.formatTag, 0x55);
  EXPECT_TRUE(fs::exists(Sources() + "/tagged.mp3"));  // without --move the sources stay

  // Again, with one new file and another type: only the new file is added.
  Wav(Sources() + "/Lena K/Evening.wav", 2.0);
  const Result second = Admin({"import", "--type", "HOUSE", Sources()});
  ASSERT_EQ(second.code, 0) << second.err;
  EXPECT_NE(second.out.find("Imported 1, refused 0, skipped 3"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("already in the library as song 2"), std::string::npos);
  ASSERT_EQ(Rows(library).size(), 4u);
  EXPECT_EQ(Rows(library)[3].name, "EVENING");
  EXPECT_EQ(Rows(library)[3].type, "HOUSE");
}

TEST(AdminImport, BadFilesAreRefusedWithTheirReasonsAndLeaveNothing) {
  const std::string library = test::MakeTestLibrary();
  Wav(Sources() + "/good.wav");
  Wav(Sources() + "/thin.wav", 1.0, 8000, 16);
  std::ofstream(Sources() + "/noise.mp3") << std::string(5000, 'x');
  const std::string missing = Sources() + "/gone.wav";

  const Result result = Admin({"import", Sources(), missing});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.out.find("Imported 1, refused 3, skipped 0"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find("noise.mp3: " + std::string(text::kNoMp3Header)), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("thin.wav: The selected sound file was sampled at a rate of 8000"),
            std::string::npos);
  EXPECT_NE(result.err.find("gone.wav: no such file or folder"), std::string::npos);
  EXPECT_EQ(Rows(library).size(), 1u);
  ExpectRowsMatchFiles(library);
}

TEST(AdminImport, MoveDeletesOnlyTheSourcesOfCompleteSongs) {
  const std::string library = test::MakeTestLibrary();
  const std::string wav = Wav(Sources() + "/a.wav");
  const std::string mp3 = Mp3(Sources() + "/b.mp3");
  const std::string bad = Wav(Sources() + "/c.wav", 1.0, 8000, 16);
  EXPECT_EQ(Admin({"import", "--move", Sources()}).code, 1);
  EXPECT_FALSE(fs::exists(wav));
  EXPECT_FALSE(fs::exists(mp3));
  EXPECT_TRUE(fs::exists(bad));

  // A song's own file is never a source to delete.
  const Result own = Admin({"import", "--move", SongFileName(library, 1)});
  EXPECT_EQ(own.code, 1);
  EXPECT_NE(own.err.find("may belong to another song"), std::string::npos) << own.err;
  EXPECT_TRUE(fs::exists(SongFileName(library, 1)));
  EXPECT_EQ(Rows(library).size(), 2u);
}

TEST(AdminImport, AFullDiskRefusesTheFileWithoutARow) {
  const std::string library = test::MakeTestLibrary();
  // Songs far larger than the library file, so only their copies meet the limit.
  Wav(Sources() + "/long.wav", 5.0);
  Mp3(Sources() + "/song.mp3", {}, 30.0);
  Result result;
  {
    const test::FileSizeLimit full(300000);
    result = Admin({"import", Sources()});
  }
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.out.find("Imported 0, refused 2"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find(text::kMp3OutputError), std::string::npos) << result.err;
  EXPECT_TRUE(Rows(library).empty());
  ExpectRowsMatchFiles(library);
}

TEST(AdminImport, CommandLineTypeAndLockErrors) {
  const std::string library = test::MakeTestLibrary();
  Wav(Sources() + "/a.wav");
  EXPECT_EQ(Admin({"import"}).code, 2);
  EXPECT_EQ(Admin({"import", "--copy", Sources()}).code, 2);
  const Result noType = Admin({"import", "--type", "POLKA", Sources()});
  EXPECT_EQ(noType.code, 2);
  EXPECT_NE(noType.err.find("no song type POLKA"), std::string::npos);
  {
    InstanceLock recorder(text::kGlobalMutexName);
    ASSERT_TRUE(recorder.TryAcquire());
    const Result locked = Admin({"import", Sources()});
    EXPECT_EQ(locked.code, 1);
    EXPECT_NE(locked.err.find(text::kAnotherProgramRunning), std::string::npos);
  }
  EXPECT_TRUE(Rows(library).empty());
}

// SIGINT in the middle: the file in hand is finished, the rest are left alone, every row has
// its file and no temporary file remains.
TEST(AdminImport, InterruptStopsAfterTheFileInHand) {
  const std::string library = test::MakeTestLibrary();
  constexpr int kFiles = 60;
  const std::string first = Mp3(Sources() + "/000.mp3");
  for (int i = 1; i < kFiles; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "/%03d.mp3", i);
    fs::copy_file(first, Sources() + name);
  }
  QProcess admin;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(test::TestFolder() + "/config"));
  admin.setProcessEnvironment(env);
  const char* bin = std::getenv("VX_BIN_DIR");
  admin.start(QString::fromStdString(std::string(bin ? bin : ".") + "/vxadmin"),
              {QStringLiteral("import"), QString::fromStdString(Sources())});
  ASSERT_TRUE(admin.waitForStarted());
  QByteArray out;
  while (!out.contains("[1/") && admin.waitForReadyRead(60000)) out += admin.readAllStandardOutput();
  ASSERT_TRUE(out.contains("[1/")) << admin.readAllStandardError().toStdString();
  ::kill(static_cast<pid_t>(admin.processId()), SIGINT);
  ASSERT_TRUE(admin.waitForFinished(60000));
  out += admin.readAllStandardOutput();
  const std::string err = admin.readAllStandardError().toStdString();
  EXPECT_EQ(admin.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(admin.exitCode(), 130) << out.toStdString() << err;
  EXPECT_NE(err.find("Interrupted: "), std::string::npos) << err;
  const std::size_t imported = Rows(library).size();
  EXPECT_GE(imported, 1u);
  EXPECT_LT(imported, static_cast<std::size_t>(kFiles));
  EXPECT_NE(out.toStdString().find("Imported " + std::to_string(imported) + ","),
            std::string::npos);
  ExpectRowsMatchFiles(library);
}

}  // namespace
}  // namespace vx::admin
