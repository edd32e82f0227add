#include "curation/SongReports.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "curation/CSongSearchDlg.h"
#include "curation/CurationText.h"
#include "curation/SongEditorTools.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/process/Process.h"
#include "platform/report/CReportEngine.h"
#include "platform/report/CReportPreviewDlg.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

class NoTools : public SongEditorTools {
 public:
  std::optional<double> CountBpm(QWidget*, const BpmRequest&) override { return {}; }
  void EditCueList(QWidget*, dao::DaoDatabase&, const CueListRequest&) override {}
};

// The lines of a PDF's text, blank lines left out.
std::vector<std::string> PdfLines(const std::string& path) {
  const auto out = test::RunTool({"pdftotext", "-layout", path, "-"});
  std::vector<std::string> lines;
  if (!out) return lines;
  std::string line;
  for (const std::uint8_t byte : *out) {
    if (byte == '\n' || byte == '\f') {
      if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(byte);
    }
  }
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

// The songs' names in the order the report lists them.
std::vector<std::string> ListedSongs(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& names) {
  std::vector<std::string> listed;
  for (const std::string& line : lines) {
    const std::size_t start = line.find_first_not_of(' ');
    for (const std::string& name : names) {
      if (line.compare(start, name.size() + 1, name + " ") == 0) listed.push_back(name);
    }
  }
  return listed;
}

// The search dialog with the real report engine and the templates of the build tree; each
// preview that opens is saved as a PDF.
class SongReport : public testing::Test {
 protected:
  SongReport() : folder_(test::MakeTestLibrary()), pdf_(test::TestFolder() + "/report.pdf") {
    database_.Open(folder_ + "/Velumix.vxl");
    engine_.Open();
    reports_ = FindResourceFrom(VX_BIN_DIR, "Reports");
  }

  void AddSong(int id, const char* name, const char* artist, double bpm, char media = ' ') {
    database_.Execute("INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, SongBPM, "
                      "SongLength, SongCompression) VALUES (" +
                      std::to_string(id) + ", 'ROCK', '" + name + "', '" + artist + "', " +
                      std::to_string(bpm) + ", '03:00.000', '" + std::string(1, media) + "')");
  }

  void Run(const std::function<void(CSongSearchDlg&)>& work) {
    SongSearchSetup setup;
    setup.libraryFolder = folder_;
    setup.printReport = [&](QWidget* parent, const SongReportRequest& request) {
      PrintSongReport(engine_, reports_, folder_, parent, request);
    };
    CSongSearchDlg dialog(database_, setup, tools_);
    ui_.modalDriver = [&](QDialog& shown) {
      if (auto* preview = qobject_cast<report::CReportPreviewDlg*>(&shown)) {
        EXPECT_EQ(preview->windowTitle(), "Velumix Report Preview");
        EXPECT_EQ(preview->parentWidget(), &dialog);
        ++previews_;
        ui_.files = {QString::fromStdString(pdf_)};
        preview->findChild<QPushButton*>("savePdfButton")->click();
        return int(QDialog::Accepted);
      }
      if (&shown != &dialog) return int(QDialog::Rejected);
      dialog_ = &dialog;
      work(dialog);
      return int(QDialog::Accepted);
    };
    dialog.Run();
  }
  void Click(const char* name) { dialog_->findChild<QPushButton*>(name)->click(); }
  void Type(const char* field, const char* text) {
    dialog_->findChild<QLineEdit*>(field)->setText(QString::fromUtf8(text));
  }

  test::ScriptedUi ui_;
  std::string folder_;
  std::string pdf_;
  std::string reports_;
  dao::DaoDatabase database_;
  report::CReportEngine engine_;
  NoTools tools_;
  CSongSearchDlg* dialog_ = nullptr;
  int previews_ = 0;
};

TEST_F(SongReport, APdfListsTheSongsOfTheLastSearchInItsOrderWithTheTitle) {
  AddSong(1, "BEAT ZULU", "CHARLIE", 128);
  AddSong(2, "beat alpha", "ALPHA", 95.5);
  AddSong(3, "BEAT MIKE", "bravo", 140, 'C');
  AddSong(4, "QUIET SONG", "ALPHA", 80);
  AddSong(5, "BEAT ALPHA", "DELTA", 100);  // the same name as song 2 but for case
  const std::vector<std::string> names{"BEAT ZULU", "beat alpha", "BEAT MIKE", "QUIET SONG",
                                       "BEAT ALPHA"};
  Run([&](CSongSearchDlg&) {
    // No search yet: every song, by SongID.
    Click("printButton");
    EXPECT_EQ(ListedSongs(PdfLines(pdf_), names), names);

    Type("nameEdit", "BEAT");
    Click("searchButton");
    Type("titleEdit", "Friday's Set");
    Click("printButton");
    std::vector<std::string> lines = PdfLines(pdf_);
    EXPECT_TRUE(Contains(lines, "Friday`s Set"));
    EXPECT_TRUE(Contains(lines, "Page 1 of 1"));
    EXPECT_TRUE(Contains(lines, "095.50"));
    EXPECT_EQ(ListedSongs(lines, names),
              (std::vector<std::string>{"BEAT ZULU", "beat alpha", "BEAT MIKE", "BEAT ALPHA"}));

    // Sorted by name on the screen: the same order on paper, equal names by SongID.
    dialog_->OnColumnClick(0);
    Click("printButton");
    EXPECT_EQ(ListedSongs(PdfLines(pdf_), names),
              (std::vector<std::string>{"beat alpha", "BEAT ALPHA", "BEAT MIKE", "BEAT ZULU"}));
    dialog_->OnColumnClick(1);  // by artist, without regard to case
    Click("printButton");
    EXPECT_EQ(ListedSongs(PdfLines(pdf_), names),
              (std::vector<std::string>{"beat alpha", "BEAT MIKE", "BEAT ZULU", "BEAT ALPHA"}));
    dialog_->OnColumnClick(3);  // by tempo, as numbers
    Click("printButton");
    EXPECT_EQ(ListedSongs(PdfLines(pdf_), names),
              (std::vector<std::string>{"beat alpha", "BEAT ALPHA", "BEAT ZULU", "BEAT MIKE"}));
  });
  EXPECT_EQ(previews_, 5);
  EXPECT_TRUE(ui_.messages.empty()) << ui_.Texts().front().toStdString();
  EXPECT_EQ(engine_.JobCount(), 0u);  // each job closed with its preview
}

TEST_F(SongReport, ManySongsFillNumberedPagesAndCuesFollowTheirSong) {
  for (int id = 1; id <= 120; ++id) {
    AddSong(id, ("SONG " + std::to_string(1000 + id)).c_str(), "ARTIST", 120);
  }
  database_.Execute("INSERT INTO CueList VALUES ('DROP', 1, '01:02.500', 7);");
  Run([&](CSongSearchDlg&) {
    Click("printButton");
    std::vector<std::string> lines = PdfLines(pdf_);
    EXPECT_TRUE(Contains(lines, "Page 1 of 3"));
    EXPECT_TRUE(Contains(lines, "Page 3 of 3"));
    EXPECT_TRUE(Contains(lines, "SONG 1120"));
    dialog_->findChild<QComboBox*>("reportList")->setCurrentIndex(2);
    Type("nameEdit", "SONG 1007");
    Click("searchButton");
    Click("printButton");
    lines = PdfLines(pdf_);
    EXPECT_TRUE(Contains(lines, "SONG 1007"));
    const auto cue = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
      return line.find("DROP") != std::string::npos && line.find("01:02.500") != std::string::npos;
    });
    ASSERT_NE(cue, lines.end());
    EXPECT_GT(cue - lines.begin(), 0);
    EXPECT_NE(lines[std::size_t(cue - lines.begin()) - 1].find("SONG 1007"), std::string::npos);
    EXPECT_FALSE(Contains(lines, "SONG 1008"));
  });
  EXPECT_EQ(previews_, 2);
}

TEST_F(SongReport, AMissingTemplateOrLibraryShowsTheEnginesErrorAndNoWindow) {
  AddSong(1, "ONE", "A", 120);
  fs::copy(reports_, test::TestFolder() + "/Reports");
  reports_ = test::TestFolder() + "/Reports";
  fs::remove(reports_ + "/detail1.rpt");
  Run([&](CSongSearchDlg&) {
    dialog_->findChild<QComboBox*>("reportList")->setCurrentIndex(1);
    Click("printButton");
  });
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.Texts()[0], "Cannot open the report file " + QString::fromStdString(reports_) +
                                "/detail1.rpt.");
  EXPECT_EQ(previews_, 0);

  // A library file that is gone stops the job before any window opens.
  fs::remove(folder_ + "/Velumix.vxl");
  folder_ = test::TestFolder() + "/nowhere";
  Run([&](CSongSearchDlg&) { Click("printButton"); });
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_TRUE(ui_.Texts()[1].startsWith("Cannot open the database ")) << ui_.Texts()[1].toStdString();
  EXPECT_EQ(previews_, 0);
  EXPECT_EQ(engine_.JobCount(), 0u);
}

TEST(SongReportFormulas, TitlesAndTemplatesAreAsTheSearchGivesThem) {
  EXPECT_EQ(ReportTitleFormula("Friday's Set"), "'Friday`s Set'");
  EXPECT_EQ(ReportTitleFormula(""), "''");
  EXPECT_STREQ(ReportTemplateFile(0), "summary1.rpt");
  EXPECT_STREQ(ReportTemplateFile(2), "cuelist1.rpt");
  EXPECT_EQ(ReportTemplateFile(3), nullptr);
}

}  // namespace
}  // namespace vx
