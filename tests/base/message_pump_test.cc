// Pump details: coalesced wake-ups, rounding of waits, completion packets,
// and tasks draining under a native modal loop.

#include <thread>

#include <gtest/gtest.h>

#include "base/message_loop.h"
#include "base/message_pump_default.h"
#include "base/message_pump_io.h"
#include "base/message_pump_ui.h"
#include "base/scoped_handle.h"
#include "tests/base/test_util.h"

namespace {

using testing_util::Calls;
using testing_util::ProbeTask;
using testing_util::QuitTask;
using testing_util::Recorder;
using Strings = std::vector<std::string>;

TEST(MessagePumpForUITest, ManyPostsFromAnotherThreadLeaveOneWorkMessage) {
  Recorder rec;
  base::MessageLoop loop(base::MessageLoop::kLoopUi);
  HWND window = loop.ui_pump()->message_window();
  ASSERT_NE(window, nullptr);
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) loop.PostNow(ProbeTask(&rec, "t"));
    loop.PostQuit();
  });
  poster.join();

  std::vector<MSG> work;
  MSG msg;
  while (PeekMessageW(&msg, window, base::kMsgPumpWork, base::kMsgPumpWork, PM_REMOVE))
    work.push_back(msg);
  ASSERT_EQ(work.size(), 1u);
  EXPECT_EQ(work[0].wParam, reinterpret_cast<WPARAM>(loop.ui_pump()));

  DispatchMessageW(&work[0]);  // runs one task and asks for more
  loop.Run();
  EXPECT_EQ(Calls(rec.entries()).size(), 100u);
}

// Asks once for delayed work 1500 us ahead and notes every wake that comes
// before that time.
class DelayedProbe : public base::MessagePump::Delegate {
 public:
  explicit DelayedProbe(base::MessagePump* pump) : pump_(pump) {}

  bool RunWork() override { return false; }
  bool RunIdleWork() override { return false; }
  bool RunDelayedWork(base::Ticks* next) override {
    base::Ticks now = base::NowTicks();
    if (due_ == 0) {
      due_ = now + 1500;
      *next = due_;
      return false;
    }
    ++wakes_;
    if (now < due_ && wakes_ < 1000) {
      ++early_wakes_;
      *next = due_;
      return false;
    }
    *next = 0;
    pump_->Quit();
    return true;
  }

  int early_wakes_ = 0;
  int wakes_ = 0;

 private:
  base::MessagePump* pump_;
  base::Ticks due_ = 0;
};

template <class Pump>
class DelayRoundingTest : public testing::Test {};
using WaitingPumps = testing::Types<base::MessagePumpDefault, base::MessagePumpForIO>;
TYPED_TEST_SUITE(DelayRoundingTest, WaitingPumps);

TYPED_TEST(DelayRoundingTest, SubMillisecondRemainderIsWaitedRoundedUp) {
  for (int round = 0; round < 20; ++round) {
    TypeParam pump;
    DelayedProbe probe(&pump);
    pump.Run(&probe);
    EXPECT_EQ(probe.early_wakes_, 0) << "round " << round;
  }
}

TEST(CeilMillisecondsTest, RoundsUp) {
  const struct { base::Ticks us; int64_t ms; } cases[] = {
      {1, 1}, {999, 1}, {1000, 1}, {1001, 2}, {1500, 2}, {2000, 2}, {200000, 200}};
  for (const auto& c : cases) EXPECT_EQ(base::CeilMilliseconds(c.us), c.ms) << c.us;
}

class PacketSink : public base::MessagePumpForIO::IOHandler {
 public:
  void OnIOComplete(void* context, DWORD bytes, DWORD error) override {
    contexts.push_back(context);
    sizes.push_back(bytes);
    errors.push_back(error);
    if (contexts.size() == 2) base::MessageLoop::Current()->Quit();
  }
  std::vector<void*> contexts;
  std::vector<DWORD> sizes;
  std::vector<DWORD> errors;
};

TEST(MessagePumpForIOTest, PacketsReachTheHandlerNamedByTheKeyWithBitZeroCleared) {
  base::MessageLoop loop(base::MessageLoop::kLoopIo);
  auto* pump = static_cast<base::MessagePumpForIO*>(loop.pump());
  PacketSink sink;
  int context_a = 0, context_b = 0;
  ULONG_PTR key = reinterpret_cast<ULONG_PTR>(static_cast<base::MessagePumpForIO::IOHandler*>(&sink));
  ASSERT_EQ(key & 1, 0u);
  std::thread producer([&] {
    PostQueuedCompletionStatus(pump->CompletionPort(), 7, key,
                               reinterpret_cast<LPOVERLAPPED>(&context_a));
    PostQueuedCompletionStatus(pump->CompletionPort(), 9, key | 1,
                               reinterpret_cast<LPOVERLAPPED>(&context_b));
  });
  producer.join();
  loop.Run();
  EXPECT_EQ(sink.contexts, (std::vector<void*>{&context_a, &context_b}));
  EXPECT_EQ(sink.sizes, (std::vector<DWORD>{7, 9}));
  EXPECT_EQ(sink.errors, (std::vector<DWORD>{0, 0}));
}

// Runs a bare message loop, as the system's move loop or a common dialog
// would, until |done| or a quiet spell of a few seconds.
class NativeModalLoop {
 public:
  NativeModalLoop(Recorder* rec, HANDLE began) : rec_(rec), began_(began) {}
  void Run() {
    rec_->Add("modal-begin");
    SetEvent(began_);
    while (!done_) {
      if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 3000, QS_ALLINPUT) != WAIT_OBJECT_0)
        break;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    rec_->Add("modal-end");
  }
  void Finish() {
    rec_->Add("finish");
    done_ = true;
  }

 private:
  Recorder* rec_;
  HANDLE began_;
  bool done_ = false;
};

TEST(MessagePumpForUITest, ABurstOfTasksDrainsUnderANativeModalLoop) {
  Recorder rec;
  base::MessageLoop loop(base::MessageLoop::kLoopUi);
  base::ScopedHandle began(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  NativeModalLoop modal(&rec, began.Get());
  loop.PostNow(MakeTask(base::WrapUnretained(&modal), &NativeModalLoop::Run));
  std::thread poster([&] {
    WaitForSingleObject(began.Get(), 10000);
    for (const char* name : {"a", "b", "c", "d"}) loop.PostNow(ProbeTask(&rec, name));
    loop.PostNow(MakeTask(base::WrapUnretained(&modal), &NativeModalLoop::Finish));
    loop.PostQuit();
  });
  loop.Run();
  poster.join();
  EXPECT_EQ(Calls(rec.entries()),
            (Strings{"modal-begin", "a", "b", "c", "d", "finish", "modal-end"}));
}

}  // namespace
