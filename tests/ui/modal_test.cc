// DoModal: the owner is disabled while the nested loop runs, UI tasks keep
// running in it, and EndModal's result comes back; two dialogs on one
// owner end in either order.

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

// Dialog A runs; inside it dialog B; then one of them is ended, and in the
// loop that still runs, the other.
struct NestedRun {
  HWND owner = nullptr;
  CTransWindow* a = nullptr;
  CTransWindow* b = nullptr;
  bool end_a_first = true;
  int a_result = -1, b_result = -1;
  bool a_returned = false, b_returned = false;
  bool probed = false;
  bool other_still_running = false;
  bool owner_enabled_between = true;
};

NestedRun* g_nested = nullptr;

void EndSecond(NestedRun* run) {
  run->probed = true;
  CTransWindow* still = run->end_a_first ? run->b : run->a;
  run->other_still_running = !(run->end_a_first ? run->b_returned : run->a_returned);
  run->owner_enabled_between = IsWindowEnabled(run->owner) != FALSE;
  still->EndModal(run->end_a_first ? 20 : 10);
}

void EndFirst(NestedRun* run) {
  (run->end_a_first ? run->a : run->b)->EndModal(run->end_a_first ? 10 : 20);
  base::ThreadLoop(base::kThreadUi)->PostNow(MakeFunctionTask(&EndSecond, run));
}

void RunB(NestedRun* run) {
  base::ThreadLoop(base::kThreadUi)->PostNow(MakeFunctionTask(&EndFirst, run));
  run->b_result = run->b->DoModal();
  run->b_returned = true;
}

void RunA(NestedRun* run) {
  base::ThreadLoop(base::kThreadUi)->PostNow(MakeFunctionTask(&RunB, run));
  run->a_result = run->a->DoModal();
  run->a_returned = true;
  base::MessageLoop::Current()->Quit();
}

void GiveUpNested(int generation) {
  if (generation != g_generation || !g_nested) return;
  if (!g_nested->b_returned) g_nested->b->EndModal(-1);
  if (!g_nested->a_returned) g_nested->a->EndModal(-1);
  base::MessageLoop::Current()->Quit();
}

TEST(ModalTest, NestedDialogsEndInEitherOrderWithTheirOwnResults) {
  for (bool end_a_first : {true, false}) {
    SCOPED_TRACE(end_a_first ? "outer dialog ended first" : "inner dialog ended first");
    ui_test::RecordingHost owner(/*top_level=*/true);
    CTransWindow a, b;
    ASSERT_TRUE(a.CreateFromSkin(owner.hwnd(), L"ENGUICANNOTDOWN"));
    ASSERT_TRUE(b.CreateFromSkin(owner.hwnd(), L"ENGUICANNOTDOWN"));
    NestedRun run;
    run.owner = owner.hwnd();
    run.a = &a;
    run.b = &b;
    run.end_a_first = end_a_first;
    base::MessageLoop* ui_loop = base::ThreadLoop(base::kThreadUi);
    g_nested = &run;
    ++g_generation;
    ui_loop->PostNow(MakeFunctionTask(&RunA, &run));
    ui_loop->PostDelayed(MakeFunctionTask(&GiveUpNested, g_generation), 20 * 1000 * 1000);
    ui_loop->Run();
    g_nested = nullptr;

    ASSERT_TRUE(run.probed);
    EXPECT_TRUE(run.other_still_running) << "ending one dialog ended the other's loop";
    EXPECT_FALSE(run.owner_enabled_between) << "the owner was enabled while a dialog ran";
    EXPECT_TRUE(run.a_returned);
    EXPECT_TRUE(run.b_returned);
    EXPECT_EQ(10, run.a_result);
    EXPECT_EQ(20, run.b_result);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  }
}

}  // namespace
