// The Qt pages find their edits' rules by control id; these tests hold the
// table to the ids the pages are built with (the headers include no Qt).
#include <gtest/gtest.h>

#include <string>

#include "app/pages/config/config_page_ids.h"
#include "app/pages/outputs/outputs_page_ids.h"
#include "core/config/config_page_texts.h"
#include "core/config/page_edits.h"

namespace lumera {
namespace {

void ExpectEdit(int id, EditPage page, FieldKind kind, int number,
                const std::string& name) {
  SCOPED_TRACE(id);
  const EditDef* edit = FindEdit(id);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->page, page);
  EXPECT_EQ(edit->field.kind, kind);
  EXPECT_EQ(edit->field.number, number);
  EXPECT_EQ(edit->name, name);
}

TEST(PageIdsTest, EveryEditOfTheHeadersMapsToItsField) {
  namespace c = config_page_ids;
  namespace o = outputs_page_ids;
  constexpr EditPage kC = EditPage::kConfig;
  constexpr EditPage kO = EditPage::kOutputs;
  ExpectEdit(c::kControllerNumber, kC, FieldKind::kNewControllerNumber, 0,
             "Numer sterownika");
  ExpectEdit(c::kAccessPointHigh, kC, FieldKind::kAccessPointHigh, 0,
             "Numer Punktu Dostępowego 1");
  ExpectEdit(c::kAccessPointMiddle, kC, FieldKind::kAccessPointMiddle, 0,
             "Numer Punktu Dostępowego 2");
  ExpectEdit(c::kAccessPointLow, kC, FieldKind::kAccessPointLow, 0,
             "Numer Punktu Dostępowego 3");
  for (int n = 1; n <= 16; ++n) {
    const std::string row = "Start Punkt " + std::to_string(n);
    ExpectEdit(c::kStartSegments[n - 1], kC, FieldKind::kStartPointSegment, n,
               row + " Segment");
    ExpectEdit(c::kStartCommands[n - 1], kC, FieldKind::kStartPointCommand, n,
               row + " Komenda");
    EXPECT_EQ(FindEdit(c::kStartButtons[n - 1]), nullptr);
  }
  for (int n = 1; n <= 8; ++n) {
    ExpectEdit(c::kMultipliers[n - 1], kC, FieldKind::kTempoMultiplier, n,
               "Mnożnik tempa " + std::to_string(n));
    EXPECT_EQ(FindEdit(c::kTempoButtons[n - 1]), nullptr);
    const std::string row = "Wyjście " + std::to_string(n);
    ExpectEdit(o::kOutputTypes[n - 1], kO, FieldKind::kOutputType, n,
               row + " Typ odbiornika");
    ExpectEdit(o::kOutputLimits[n - 1], kO, FieldKind::kOutputLimit, n,
               row + " Ograniczenie");
    ExpectEdit(o::kOutputStates[n - 1], kO, FieldKind::kOutputState, n,
               row + " Stan");
  }
  for (int t = 1; t <= 4; ++t) {
    const std::string row = "Typ " + std::to_string(t);
    ExpectEdit(o::kReceiverXs[t - 1], kO, FieldKind::kReceiverX, t, row + " X");
    ExpectEdit(o::kReceiverYs[t - 1], kO, FieldKind::kReceiverY, t, row + " Y");
  }
}

// Only the controller number and the access point refresh the page when
// left.
TEST(PageIdsTest, OnlyNumberAndAccessPointRefreshWhenLeft) {
  for (auto table : {ConfigPageEdits(), OutputsPageEdits()}) {
    for (const EditDef& edit : table) {
      const bool refreshing =
          edit.control_id == config_page_ids::kControllerNumber ||
          (edit.control_id >= config_page_ids::kAccessPointHigh &&
           edit.control_id <= config_page_ids::kAccessPointLow);
      EXPECT_EQ(edit.refresh_on_focus_out, refreshing) << edit.control_id;
    }
  }
}

}  // namespace
}  // namespace lumera
