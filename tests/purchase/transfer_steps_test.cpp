// The transfer's window procedures tick by tick, over a stub network and a
// stub clock: the size of every read, what one tick reads before it hands
// the thread back, and how the window ends.
#include "purchase/transfer_steps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/string_table.h"

namespace {

using glyphoria::TransferSteps;
using glyphoria::platform::ContentLength;
using glyphoria::platform::NetError;
using glyphoria::platform::NetFailure;
using glyphoria::platform::NetRead;

// A window that only records.
struct RecordingWindow : glyphoria::platform::ProgressWindow {
    void SetTitle(const char* text) override { title_ = text; }
    void SetRange(std::uint64_t high) override { range_ = high; }
    void SetPosition(std::uint64_t position) override {
        position_ = position;
        ++moves;
    }
    void StartTimer(unsigned interval_ms) override { timer_ms = interval_ms; }
    void End(int r) override {
        if (!ended_) result = r;
        ended_ = true;
    }
    const std::string& title() const override { return title_; }
    std::uint64_t range() const override { return range_; }
    std::uint64_t position() const override { return position_; }
    bool ended() const override { return ended_; }

    std::string title_;
    std::uint64_t range_ = 0, position_ = 0;
    bool ended_ = false;
    int result = 0;
    int moves = 0;
    unsigned timer_ms = 0;
};

// The network as the reads meet it: content of which arrived bytes can be
// read; each read costs read_us on the clock. An end or a failure comes
// once everything that arrived was read.
struct StubNetwork {
    std::string content;
    std::size_t arrived = 0;
    std::size_t taken = 0;
    bool ends = true;  // at the end of content: kNetEnd (else kNetFailed)
    int read_us = 0;
    std::vector<std::size_t> asks;  // every read's max
    std::chrono::steady_clock::time_point now{};

    NetRead Read(void* buf, std::size_t max, std::size_t* got) {
        asks.push_back(max);
        now += std::chrono::microseconds(read_us);
        *got = std::min(max, arrived - taken);
        if (*got > 0) {
            content.copy(static_cast<char*>(buf), *got, taken);
            taken += *got;
            return glyphoria::platform::kNetData;
        }
        if (arrived < content.size()) return glyphoria::platform::kNetPending;
        return ends ? glyphoria::platform::kNetEnd : glyphoria::platform::kNetFailed;
    }
};

struct Transfer {
    Transfer(StubNetwork& net, ContentLength length)
        : steps(
              length, "downloading",
              [&net](void* buf, std::size_t max, std::size_t* got) {
                  return net.Read(buf, max, got);
              },
              [] {
                  return NetError{NetFailure::kTimedOut, 0};
              },
              [&net] { return net.now; }) {}
    TransferSteps steps;
    RecordingWindow window;
};

ContentLength Known(std::size_t n) {
    return ContentLength{true, n};
}

// A document of exactly 20000 bytes is asked for in one read of 20000; one
// byte more in a read of 20000 and a read of 1 (every read returning all it
// asked for). Without a length, reads ask for 20000 until the end shows.
TEST(TransferSteps, ReadSizes) {
    glyphoria::LoadStrings();
    struct Case {
        std::size_t size;
        bool length_known;
        std::vector<std::size_t> asks;
    } cases[] = {
        {20000, true, {20000}}, {20001, true, {20000, 1}},      {45000, true, {20000, 20000, 5000}},
        {1, true, {1}},         {20000, false, {20000, 20000}}, {0, false, {20000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.length_known ? " known" : " unknown"));
        StubNetwork net;
        net.content = std::string(c.size, 'x');
        net.arrived = c.size;
        Transfer t(net, c.length_known ? Known(c.size) : ContentLength{});
        t.steps.Start(t.window);
        EXPECT_EQ(10u, t.window.timer_ms);
        EXPECT_EQ("Downloading…", t.window.title_);
        EXPECT_EQ(c.length_known ? c.size : 0u, t.window.range_);
        t.steps.Tick(t.window);
        EXPECT_EQ(c.asks, net.asks);
        EXPECT_EQ(1, t.window.result);
        std::size_t size = 0;
        char* data = t.steps.TakeContent(&size);
        ASSERT_NE(nullptr, data);
        EXPECT_EQ(c.size, size);
        EXPECT_EQ(net.content, std::string(data, size));
        EXPECT_EQ('\0', data[size + 999]);
        std::free(data);
    }
}

// A tick reads until nothing more has arrived or its 6 ms are spent, then
// moves the bar once; every tick that read something moves it.
TEST(TransferSteps, EachTickReadsWhatArrivedWithinItsBudget) {
    struct Case {
        const char* name;
        int read_us;
        std::size_t arrives_per_tick;
        std::vector<std::uint64_t> positions;  // after each tick
        std::vector<std::size_t> reads_per_tick;
    } cases[] = {
        // Everything there, each read 1 ms: six reads a tick, then the budget is spent.
        {"budget", 1000, 1000000, {120000, 240000, 360000}, {6, 6, 6}},
        // A slow link: 30000 bytes a tick, read at once, then nothing more.
        {"arrivals", 10, 30000, {30000, 60000, 90000}, {3, 3, 3}},
        // A read that alone outlasts the budget ends the tick after it.
        {"slow reads", 9000, 1000000, {20000, 40000, 60000}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubNetwork net;
        net.content = std::string(1000000, 'y');
        net.read_us = c.read_us;
        Transfer t(net, Known(net.content.size()));
        t.steps.Start(t.window);
        std::vector<std::uint64_t> positions;
        std::vector<std::size_t> reads;
        for (std::size_t tick = 0; tick < c.positions.size(); ++tick) {
            net.arrived = std::min(net.content.size(), net.arrived + c.arrives_per_tick);
            const std::size_t before = net.asks.size();
            t.steps.Tick(t.window);
            positions.push_back(t.window.position_);
            reads.push_back(net.asks.size() - before);
            EXPECT_EQ(static_cast<int>(tick) + 1, t.window.moves);
        }
        EXPECT_EQ(c.positions, positions);
        EXPECT_EQ(c.reads_per_tick, reads);
        EXPECT_FALSE(t.window.ended_);
        for (std::size_t ask : net.asks)
            EXPECT_LE(ask, 20000u);
    }
}

// How a window ends: a tick with nothing leaves the bar; an end short of the
// length, a failed read and a length beyond what a transfer holds fail it.
TEST(TransferSteps, EndsAndFailures) {
    StubNetwork quiet;
    quiet.content = std::string(5000, 'q');
    Transfer waiting(quiet, Known(5000));
    waiting.steps.Start(waiting.window);
    waiting.steps.Tick(waiting.window);
    EXPECT_EQ(0, waiting.window.moves);
    EXPECT_FALSE(waiting.window.ended_);

    struct Case {
        const char* name;
        ContentLength length;
        bool ends;
        NetFailure failure;
    } cases[] = {
        {"short of its length", Known(9000), true, NetFailure::kBroken},
        {"failed read", Known(9000), false, NetFailure::kTimedOut},
        {"failed without a length", ContentLength{}, false, NetFailure::kTimedOut},
        {"too large", Known(std::size_t{1} << 40), true, NetFailure::kTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubNetwork net;
        net.content = std::string(5000, 'z');
        net.arrived = 5000;
        net.ends = c.ends;
        Transfer t(net, c.length);
        t.steps.Start(t.window);
        if (!t.window.ended_) t.steps.Tick(t.window);
        EXPECT_TRUE(t.window.ended_);
        EXPECT_EQ(2, t.window.result);
        EXPECT_EQ(c.failure, t.steps.failure().failure);
    }
}

}  // namespace
