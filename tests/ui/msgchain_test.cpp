// Owned message layers: removal in any order, removal and destruction during dispatch, and
// deferred work (runs natively under the sanitizers, so a touch of freed memory fails here).
#include "ui/msgchain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

namespace wl {
namespace {

struct Msg {
    int id = 0;
    std::string seen; // one letter per handler the message passed through
};
using Chain = TLayerChain<Msg>;

Chain::LayerHandler Recorder(char letter) {
    return [letter](Msg& m, const Chain::Previous& previous) {
        m.seen += letter;
        previous(m);
    };
}

TEST(LayerChain, ThreeLayersRemovedInEveryOrderLeaveTheRestInOrder) {
    std::array<int, 3> order{0, 1, 2};
    int permutations = 0;
    do {
        Chain chain([](Msg& m) { m.seen += 'B'; });
        std::array<Chain::Layer, 3> layers;
        // Added bottom-up: layer 2 (c) is on top and sees messages first.
        for (int i = 0; i < 3; ++i) layers[i] = chain.Add(Recorder(static_cast<char>('a' + i)));
        std::string remaining = "cba";
        Msg first;
        chain.Dispatch(first);
        ASSERT_EQ(first.seen, "cbaB");
        std::string trace;
        for (int i : order) {
            layers[i].Remove();
            remaining.erase(remaining.find(static_cast<char>('a' + i)), 1);
            Msg m;
            chain.Dispatch(m);
            EXPECT_EQ(m.seen, remaining + "B") << "removal order " << order[0] << order[1] << order[2];
            EXPECT_FALSE(layers[i].Active());
            EXPECT_EQ(chain.LayerCount(), static_cast<int>(remaining.size()));
        }
        ++permutations;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(permutations, 6);
}

// Records when the state captured by a handler is freed.
struct Sentinel {
    explicit Sentinel(bool& freed) : freed(freed) {}
    ~Sentinel() { freed = true; }
    bool& freed;
};

TEST(LayerChain, LayerRemovedDuringItsOwnDispatchPassesOnAndIsFreedAfterwards) {
    Chain chain([](Msg& m) { m.seen += 'B'; });
    bool freed = false;
    bool freedWhileInside = true;
    auto layer = std::make_unique<Chain::Layer>();
    auto sentinel = std::make_shared<Sentinel>(freed);
    *layer = chain.Add([&, sentinel](Msg& m, const Chain::Previous& previous) {
        m.seen += 'x';
        if (m.id == 1) {
            layer.reset(); // the owner drops its layer in the middle of the message
            freedWhileInside = freed;
            previous(m); // still reaches the base
            m.seen += sentinel ? 'y' : '?';
        }
    });
    sentinel.reset();
    Msg m{1, ""};
    chain.Dispatch(m);
    EXPECT_EQ(m.seen, "xBy");
    EXPECT_FALSE(freedWhileInside);
    EXPECT_TRUE(freed);
    Msg next;
    chain.Dispatch(next);
    EXPECT_EQ(next.seen, "B");
    EXPECT_EQ(chain.LayerCount(), 0);
}

TEST(LayerChain, LayersRemovedDuringDispatchAreSkippedFromThenOn) {
    struct Case {
        const char* name;
        int remove;          // which layer the top one removes (0 = bottom, 1 = middle)
        const char* during;  // the message that did the removal
        const char* after;
    } cases[] = {
        {"middle", 1, "caB", "caB"},
        {"bottom", 0, "cbB", "cbB"},
    };
    for (const auto& c : cases) {
        Chain chain([](Msg& m) { m.seen += 'B'; });
        std::array<Chain::Layer, 2> lower{chain.Add(Recorder('a')), chain.Add(Recorder('b'))};
        Chain::Layer top = chain.Add([&](Msg& m, const Chain::Previous& previous) {
            m.seen += 'c';
            if (m.id == 1) lower[c.remove].Remove();
            previous(m);
        });
        Msg m{1, ""};
        chain.Dispatch(m);
        EXPECT_EQ(m.seen, c.during) << c.name;
        Msg next;
        chain.Dispatch(next);
        EXPECT_EQ(next.seen, c.after) << c.name;
    }
}

TEST(LayerChain, LayerRemovedBeneathADispatchingLayerThatWasRemovedToo) {
    // The top layer removes itself, then the layer beneath it, then passes the message on:
    // the message must reach the base through both unlinked layers' links.
    Chain chain([](Msg& m) { m.seen += 'B'; });
    Chain::Layer a = chain.Add(Recorder('a'));
    Chain::Layer b = chain.Add(Recorder('b'));
    Chain::Layer c;
    c = chain.Add([&](Msg& m, const Chain::Previous& previous) {
        m.seen += 'c';
        c.Remove();
        b.Remove();
        previous(m);
    });
    Msg m;
    chain.Dispatch(m);
    EXPECT_EQ(m.seen, "caB");
    Msg next;
    chain.Dispatch(next);
    EXPECT_EQ(next.seen, "aB");
}

TEST(LayerChain, ChainDestroyedDuringDispatchStopsAtTheBaseAndLeavesHandlesHarmless) {
    auto chain = std::make_unique<Chain>([](Msg& m) { m.seen += 'B'; });
    Chain::Layer lower = chain->Add(Recorder('a'));
    Chain::Layer top = chain->Add([&](Msg& m, const Chain::Previous& previous) {
        m.seen += 'c';
        chain.reset(); // the control owning the chain is freed by a handler
        previous(m);   // reaches layer a, but no longer the freed owner's base handler
        m.seen += 'd';
    });
    Msg m;
    chain->Dispatch(m);
    EXPECT_EQ(m.seen, "cad");
    EXPECT_FALSE(top.Active());
    EXPECT_FALSE(lower.Active());
    top.Remove(); // unlinking from a chain that no longer exists does nothing
    lower = Chain::Layer();
}

TEST(LayerChain, MovedHandleKeepsTheLayerAndCallsPrevious) {
    Chain chain([](Msg& m) { m.seen += 'B'; });
    Chain::Layer* current = nullptr;
    Chain::Layer moved;
    {
        Chain::Layer original = chain.Add([&](Msg& m) {
            m.seen += 'x';
            current->CallPrevious(m);
        });
        moved = std::move(original);
        EXPECT_FALSE(original.Active());
    } // the moved-from handle goes without removing the layer
    current = &moved;
    EXPECT_TRUE(moved.Active());
    Msg m;
    chain.Dispatch(m);
    EXPECT_EQ(m.seen, "xB");
    moved = Chain::Layer();
    Msg after;
    chain.Dispatch(after);
    EXPECT_EQ(after.seen, "B");
}

TEST(DispatchState, DeferredWorkWaitsForTheOutermostDispatch) {
    // The digit after D is the message depth the action sees: it runs outside every message
    // (an action that frees the owner must not find itself still inside one).
    struct Case {
        const char* name;
        int nesting;     // dispatches nested inside each other when Defer is called
        bool deferAgain; // the deferred action defers more work
        bool dispatchInAction; // the deferred action dispatches a message itself
        const char* expected;
    } cases[] = {
        {"no dispatch", 0, false, false, "D0"},
        {"one level", 1, false, false, "<1>1D0"},
        {"nested", 2, false, false, "<1<2>2>1D0"},
        {"action defers more", 1, true, false, "<1>1D0E0"},
        {"action dispatches", 1, false, true, "<1>1D0m1"},
    };
    for (const auto& c : cases) {
        auto state = std::make_shared<TDispatchState>();
        std::string log;
        std::function<void(int)> dispatch = [&](int level) {
            if (level > c.nesting) {
                state->Defer([&] {
                    log += 'D' + std::to_string(state->MessageDepth());
                    if (c.deferAgain) state->Defer([&] { log += 'E' + std::to_string(state->MessageDepth()); });
                    if (c.dispatchInAction) {
                        TDispatchState::Scope inner(state);
                        log += 'm' + std::to_string(state->MessageDepth());
                    }
                });
                return;
            }
            TDispatchState::Scope scope(state);
            log += '<';
            log += std::to_string(level);
            dispatch(level + 1);
            log += '>';
            log += std::to_string(level);
        };
        dispatch(1);
        EXPECT_EQ(log, c.expected) << c.name;
        EXPECT_EQ(state->Depth(), 0) << c.name;
        EXPECT_EQ(state->MessageDepth(), 0) << c.name;
    }
}

TEST(LayerChain, FreeingTheOwnerIsDeferredUntilDispatchUnwinds) {
    // The pattern of a form released from inside its own message: the owner asks the chain to
    // free it later, and every layer still on the stack may use the owner until then.
    struct Owner {
        Chain chain{[this](Msg& m) {
            m.seen += 'B';
            if (m.id == 1) chain.Defer([this] { delete this; });
            m.seen += name;
        }};
        std::string name = "o";
        bool* freed = nullptr;
        ~Owner() { *freed = true; }
    };
    bool freed = false;
    auto* owner = new Owner;
    owner->freed = &freed;
    Chain::Layer layer = owner->chain.Add([&](Msg& m, const Chain::Previous& previous) {
        previous(m);
        m.seen += freed ? "!" : owner->name; // the owner is still there
    });
    Msg m{1, ""};
    owner->chain.Dispatch(m);
    EXPECT_EQ(m.seen, "Boo");
    EXPECT_TRUE(freed);
    EXPECT_FALSE(layer.Active());
}

} // namespace
} // namespace wl
