#include "curation/SongEditorTools.h"

#include "curation/CurationText.h"

namespace vx {

std::optional<double> UnavailableSongEditorTools::CountBpm(QWidget*, const BpmRequest&) {
  if (statusLine_) statusLine_(QString::fromUtf8(text::kBpmCounterNotAvailable));
  return std::nullopt;
}

void UnavailableSongEditorTools::EditCueList(QWidget*, dao::DaoDatabase&,
                                             const CueListRequest&) {
  if (statusLine_) statusLine_(QString::fromUtf8(text::kCueEditorNotAvailable));
}

}  // namespace vx
