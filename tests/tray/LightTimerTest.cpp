#include "tray/LightTimer.h"
#include "tray/MvCallbackGuard.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace {

HWND TimerWindow() {
    return static_cast<HWND>(TLightTimerHandler::Current()->Window());
}

TEST(LightTimer, StartWithIntervalZeroFails) {
    TLightTimer Timer(0, [](TObject*) {});
    EXPECT_FALSE(Timer.Start());
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(TLightTimerHandler::Current()->ActiveTimers(), 0);
}

TEST(LightTimer, HandlerLivesExactlyWhileTimersExist) {
    ASSERT_EQ(TLightTimerHandler::Current(), nullptr);
    auto First = std::make_unique<TLightTimer>();
    auto Second = std::make_unique<TLightTimer>();
    TLightTimerHandler* Handler = TLightTimerHandler::Current();
    ASSERT_NE(Handler, nullptr);
    EXPECT_EQ(Handler->RefCount(), 2);
    HWND Window = TimerWindow();
    EXPECT_TRUE(IsWindow(Window));

    First.reset();
    EXPECT_EQ(TLightTimerHandler::Current(), Handler);
    EXPECT_EQ(Handler->RefCount(), 1);
    Second.reset();
    EXPECT_EQ(TLightTimerHandler::Current(), nullptr);
    EXPECT_FALSE(IsWindow(Window));

    TLightTimer Third;
    ASSERT_NE(TLightTimerHandler::Current(), nullptr);
    EXPECT_TRUE(IsWindow(TimerWindow()));
}

TEST(LightTimer, AutoDisableFiresOnce) {
    int Ticks = 0;
    TLightTimer Timer(10, [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Timer);
        ++Ticks;
    });
    Timer.SetAutoDisable(true);
    ASSERT_TRUE(Timer.Start());
    EXPECT_TRUE(PumpUntil([&] { return Ticks > 0; }, 2000));
    // Time must pass here: that no second tick comes within many intervals is the point.
    PumpFor(150);
    EXPECT_EQ(Ticks, 1);
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(TLightTimerHandler::Current()->ActiveTimers(), 0);
}

TEST(LightTimer, RepeatsUntilStopped) {
    int Ticks = 0;
    TLightTimer Timer(10, [&](TObject*) { ++Ticks; });
    Timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return Ticks >= 3; }, 2000));
    EXPECT_TRUE(Timer.Stop(true));
    EXPECT_FALSE(Timer.Enabled());
    int Seen = Ticks;
    // Time must pass here: that no tick comes within many intervals is the point.
    PumpFor(100);
    EXPECT_EQ(Ticks, Seen);
    EXPECT_FALSE(Timer.Stop(true)) << "nothing left to kill";
}

TEST(LightTimer, RestartIsCountedOnce) {
    TLightTimer Timer(5000, [](TObject*) {});
    TLightTimer Other(5000, [](TObject*) {});
    ASSERT_TRUE(Timer.Start());
    ASSERT_TRUE(Timer.Start());
    EXPECT_TRUE(Timer.Enabled());
    EXPECT_EQ(TLightTimerHandler::Current()->ActiveTimers(), 1);
    ASSERT_TRUE(Other.Start());
    EXPECT_EQ(TLightTimerHandler::Current()->ActiveTimers(), 2);
    Timer.SetEnabled(false);
    EXPECT_EQ(TLightTimerHandler::Current()->ActiveTimers(), 1);
}

TEST(LightTimer, IntervalZeroSuspendsAndANewIntervalResumes) {
    int Ticks = 0;
    TLightTimer Timer(10, [&](TObject*) { ++Ticks; });
    ASSERT_TRUE(Timer.Start());
    Timer.SetInterval(0);
    EXPECT_TRUE(Timer.Enabled());
    EXPECT_FALSE(Timer.Running());
    int Seen = Ticks;
    // Time must pass here: that no tick comes within many intervals is the point.
    PumpFor(100);
    EXPECT_EQ(Ticks, Seen);
    Timer.SetInterval(10);
    EXPECT_TRUE(Timer.Running());
    EXPECT_TRUE(PumpUntil([&] { return Ticks > Seen; }, 2000));
}

TEST(LightTimer, ClearingOnTimerSuspends) {
    TLightTimer Timer(10, [](TObject*) {});
    ASSERT_TRUE(Timer.Start());
    Timer.SetOnTimer(nullptr);
    EXPECT_TRUE(Timer.Enabled());
    EXPECT_FALSE(Timer.Running());
    EXPECT_EQ(TLightTimerHandler::Current()->ActiveTimers(), 0);
}

TEST(LightTimer, StaleTicksAreIgnored) {
    int Ticks = 0;
    TLightTimer Keeper(5000, [&](TObject*) { ++Ticks; });
    auto Gone = std::make_unique<TLightTimer>(5000, [&](TObject*) { ++Ticks; });
    uintptr_t GoneId = Gone->Id();
    Gone.reset();
    // A tick for a destroyed timer, one for a stopped timer and one for an id
    // that never existed.
    PostMessageA(TimerWindow(), WM_TIMER, GoneId, 0);
    PostMessageA(TimerWindow(), WM_TIMER, Keeper.Id(), 0);
    PostMessageA(TimerWindow(), WM_TIMER, 0xDEADBEEF, 0);
    EXPECT_TRUE(mv::test::PumpUntilIdle());
    EXPECT_EQ(Ticks, 0);

    TLightTimer Fresh(5000, [&](TObject*) { ++Ticks; });
    EXPECT_NE(Fresh.Id(), GoneId) << "ids are not reused";
}

TEST(LightTimer, LastTimerMayDestroyItselfInItsTick) {
    ASSERT_EQ(TLightTimerHandler::Current(), nullptr);
    TLightTimer* Timer = nullptr;
    bool Fired = false;
    Timer = new TLightTimer(10, [&](TObject*) {
        Fired = true;
        delete Timer;
        Timer = nullptr;
    });
    HWND Window = TimerWindow();
    ASSERT_TRUE(Timer->Start());
    EXPECT_TRUE(PumpUntil([&] { return Fired; }, 2000));
    EXPECT_EQ(Timer, nullptr);
    EXPECT_EQ(TLightTimerHandler::Current(), nullptr);
    EXPECT_FALSE(IsWindow(Window));
    mv::test::PumpUntilIdle();
}

TEST(LightTimer, AnExceptionInATickGoesToTheHandler) {
    std::string Reported;
    TGuardedExceptionHandler Previous = SetGuardedExceptionHandler([&](std::exception_ptr Error) {
        try {
            std::rethrow_exception(Error);
        } catch (const std::exception& E) {
            Reported = E.what();
        }
    });
    TLightTimer Timer(10, [](TObject*) { throw std::runtime_error("tick failed"); });
    Timer.SetAutoDisable(true);
    ASSERT_TRUE(Timer.Start());
    EXPECT_TRUE(PumpUntil([&] { return !Reported.empty(); }, 2000));
    EXPECT_EQ(Reported, "tick failed");
    SetGuardedExceptionHandler(Previous);
}

} // namespace
