// The key wait on Windows wakes as the keyboard thread tells it of a key
// event, which comes a moment before the key reaches the buffer; a wake with
// no key behind it (a release) must not make the next key wait a whole sleep.

#include <allegro.h>
#include <winalleg.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "shell/idle_input.h"

TEST(KeyWaitTest, AKeyAfterAWakeWithoutOneIsTakenWithinAFrame) {
    using Clock = std::chrono::steady_clock;
    constexpr unsigned LONG_SLEEP_MS = 2000;  // far longer than a frame
    TakeOverInput();
    clear_keybuf();
    Clock::time_point pressed;
    std::thread keyboard([&] {
        WakeKeyWait();  // a release: nothing reaches the buffer
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        WakeKeyWait();  // a press, whose key follows a moment later
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        pressed = Clock::now();
        simulate_keypress(' ');
    });
    const Clock::time_point start = Clock::now();
    while (!keypressed() && Clock::now() - start < std::chrono::seconds(5)) {
        WaitForInput(LONG_SLEEP_MS);
    }
    const Clock::time_point taken = Clock::now();
    keyboard.join();
    ReleaseInput();
    EXPECT_TRUE(keypressed());
    using std::chrono::milliseconds;
    EXPECT_LT(std::chrono::duration_cast<milliseconds>(taken - pressed).count(), 14);  // a frame
    clear_keybuf();
}
