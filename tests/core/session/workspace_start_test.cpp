#include <gtest/gtest.h>

#include "core/config/controller_config.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

TEST(WorkspaceStartTest, FreshWorkspaceHoldsTheStartState) {
  Workspace workspace;
  const ProgramImage& image = workspace.store.image();
  for (std::size_t i = 0; i < kProgramBytes; ++i) {
    ASSERT_EQ(image[i], 0xFF) << "command byte " << i;
  }
  ProgramImage expected;
  expected.fill(0xFF);
  WriteConfigDefaults(expected);
  EXPECT_EQ(image, expected);
  EXPECT_FALSE(workspace.store.ProgramImageChanged());
  EXPECT_EQ(workspace.config_page.new_controller_number, 1);
  EXPECT_EQ(workspace.status.output_mask, 0xF0);
  EXPECT_EQ(workspace.settings.port_number, 1);
  EXPECT_EQ(workspace.settings.program_file_name, "Prog_001.prg");
  EXPECT_EQ(workspace.settings.target_radio_address.Word(), 0xFFF0);
  EXPECT_EQ(workspace.settings.access_point_address.Word(), 0xFF00);
  // A configuration change alone counts as a change of the program.
  ControllerConfig(workspace.store.mutable_image()).SetTempoMultiplier(3, 5);
  EXPECT_TRUE(workspace.store.ProgramImageChanged());
}

}  // namespace
}  // namespace lumera
