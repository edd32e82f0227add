// The report engine's own texts: its error messages and the words it prints on a page.
#pragma once

namespace vx::text {

inline constexpr const char* kReportNoMemory = "Not enough memory to create the print job.";
inline constexpr const char* kReportEngineClosed = "The print engine is not open.";
inline constexpr const char* kReportNoJob = "The print job does not exist or has been closed.";
inline constexpr const char* kReportTemplateMissing = "Cannot open the report file %s.";
inline constexpr const char* kReportTemplateInvalid =
    "The report file %s is not valid: line %d: %s";
inline constexpr const char* kReportNoTable = "Table %d does not exist in this report.";
inline constexpr const char* kReportLocationMissing =
    "Cannot open the database %s for table %s.";
inline constexpr const char* kReportUnknownField = "The field %s does not exist in table Songs.";
inline constexpr const char* kReportBadFormula =
    "The selection formula is not valid near character %d.";
inline constexpr const char* kReportBadTitle =
    "The formula %s is not a text in apostrophes.";
inline constexpr const char* kReportUnknownFormula = "The report has no formula named %s.";
inline constexpr const char* kReportBadSortField = "The sort field %s is not valid.";
inline constexpr const char* kReportNoLocation = "Table %s has no location.";
inline constexpr const char* kReportPageNumber = "Page %1 of %2";
inline constexpr const char* kReportNoSongs = "No songs.";

// The preview window.
inline constexpr const char* kPreviewPrint = "&Print...";
inline constexpr const char* kPreviewSavePdf = "Save &PDF...";
inline constexpr const char* kPreviewClose = "&Close";
inline constexpr const char* kPreviewSaveTitle = "Save Report as PDF";
inline constexpr const char* kPreviewPdfFilter = "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||";
inline constexpr const char* kPreviewSaveFailed = "The report could not be saved as %s.";

}  // namespace vx::text
