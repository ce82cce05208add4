// DoModal: the owner is disabled while the nested loop runs, UI tasks keep
// running in it, and EndModal's result comes back.

#include <gtest/gtest.h>

#include "base/message_loop.h"
#include "base/task.h"
#include "base/thread_table.h"
#include "tests/ui/ui_test_util.h"
#include "ui/trans_window.h"

namespace {

struct ModalRun {
  HWND owner = nullptr;
  CTransWindow* dialog = nullptr;
  int end_with = 7;
  bool probed = false;
  bool owner_enabled_inside = true;
  bool dialog_visible_inside = false;
  bool returned = false;
  int result = 0;
};

// The run of the current test; the safety task may fire in a later one.
ModalRun* g_active_run = nullptr;
int g_generation = 0;

// As the installer does: DoModal from a task of the running UI loop.
void RunModal(ModalRun* run) {
  run->result = run->dialog->DoModal();
  run->returned = true;
  base::MessageLoop::Current()->Quit();
}

void ProbeAndEnd(ModalRun* run) {
  run->probed = true;
  run->owner_enabled_inside = IsWindowEnabled(run->owner) != FALSE;
  run->dialog_visible_inside = IsWindowVisible(run->dialog->hwnd()) != FALSE;
  run->dialog->EndModal(run->end_with);
}

// Ends a run the probe never reached, so a fault fails instead of hanging.
void GiveUp(int generation) {
  if (generation != g_generation || !g_active_run) return;
  if (!g_active_run->returned) g_active_run->dialog->EndModal(-1);
  base::MessageLoop::Current()->Quit();
}

void RunBounded(ModalRun* run) {
  base::MessageLoop* ui_loop = base::ThreadLoop(base::kThreadUi);
  ASSERT_NE(nullptr, ui_loop);
  g_active_run = run;
  ++g_generation;
  ui_loop->PostNow(MakeFunctionTask(&RunModal, run));
  ui_loop->PostDelayed(MakeFunctionTask(&ProbeAndEnd, run), 50 * 1000);
  ui_loop->PostDelayed(MakeFunctionTask(&GiveUp, g_generation), 20 * 1000 * 1000);
  ui_loop->Run();
  g_active_run = nullptr;
}

TEST(ModalTest, DisablesTheOwnerWhileUiTasksKeepRunning) {
  ui_test::RecordingHost owner(/*top_level=*/true);
  ASSERT_NE(nullptr, owner.hwnd());
  CTransWindow dialog;
  ASSERT_TRUE(dialog.CreateFromSkin(owner.hwnd(), L"ENGUICANNOTDOWN"));
  ASSERT_EQ(owner.hwnd(), GetWindow(dialog.hwnd(), GW_OWNER));
  ASSERT_TRUE(IsWindowEnabled(owner.hwnd()));

  ModalRun run;
  run.owner = owner.hwnd();
  run.dialog = &dialog;
  RunBounded(&run);

  ASSERT_TRUE(run.probed) << "the UI task did not run inside the modal loop";
  ASSERT_TRUE(run.returned);
  EXPECT_EQ(7, run.result);
  EXPECT_FALSE(run.owner_enabled_inside);
  EXPECT_TRUE(run.dialog_visible_inside);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST(ModalTest, EndModalBeforeTheLoopKeepsNoOneFromRunning) {
  // Ending before DoModal quits no loop; the later EndModal's result wins.
  ui_test::RecordingHost owner(/*top_level=*/true);
  CTransWindow dialog;
  ASSERT_TRUE(dialog.CreateFromSkin(owner.hwnd(), L"ENGUICANNOTDOWN"));
  dialog.EndModal(3);

  ModalRun run;
  run.owner = owner.hwnd();
  run.dialog = &dialog;
  run.end_with = 9;
  RunBounded(&run);
  ASSERT_TRUE(run.probed);
  ASSERT_TRUE(run.returned);
  EXPECT_EQ(9, run.result);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

}  // namespace
