#include "platform/ui/UserInteraction.h"

#include <gtest/gtest.h>

namespace vx {

TEST(UserInteraction, PipeFiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters("Velumix Database (Velumix.vxl)|Velumix.vxl|All Files (*.*)|*.*||"),
            "Velumix Database (Velumix.vxl);;All Files (*.*) (*)");
  EXPECT_EQ(QtNameFilters("Audio files (*.WAV, *.MP3)|*.wav;*.mp3||"),
            "Audio files (*.WAV, *.MP3) (*.wav *.mp3)");
  EXPECT_EQ(QtNameFilters(""), "");
}

}  // namespace vx
