// Owned message layers, free of any window system: the bookkeeping behind a control's WindowProc
// chain and behind subclass records.
//
// TDispatchState counts how deeply messages are being dispatched to one object and keeps the
// work that has to wait until the outermost dispatch has unwound (freeing the object itself, for
// one). TLayerChain<Msg> is a stack of message handlers over a base handler: a layer is added
// on top and returns an owning handle; dropping the handle unlinks the layer wherever it sits.
// A layer unlinked while a message is passing through it stays alive (and can still hand the
// message on) until that dispatch unwinds, and the whole chain may be destroyed during dispatch:
// nothing that is still on the stack touches freed memory.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace wl {

class TDispatchState {
public:
    // Marks one dispatch in progress for as long as it lives.
    class Scope {
    public:
        explicit Scope(std::shared_ptr<TDispatchState> state);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::shared_ptr<TDispatchState> state_;
    };

    int Depth() const { return depth_; }
    bool InDispatch() const { return depth_ > 0; }
    // Messages being dispatched right now, not counting a run of deferred actions (an action
    // that frees the owner runs outside any of its messages).
    int MessageDepth() const { return depth_ - runs_; }
    // Runs `action` at once when nothing is being dispatched, otherwise right after the
    // outermost dispatch has returned (actions run in the order they were deferred).
    void Defer(std::function<void()> action);
    // The owner is gone: deferred actions still run, but handlers must not reach it anymore.
    void MarkDead() { alive_ = false; }
    bool Alive() const { return alive_; }

private:
    void RunDeferred();
    int depth_ = 0;
    int runs_ = 0; // runs of deferred actions in progress (each also counts in depth_)
    bool alive_ = true;
    std::vector<std::function<void()>> deferred_;
};

template <class Msg>
class TLayerChain {
    struct Node;

public:
    using Handler = std::function<void(Msg&)>;

    // What a layer calls to hand a message to whatever lies beneath it now.
    class Previous {
    public:
        void operator()(Msg& m) const { Node::PassBelow(node_, m); }

    private:
        friend class TLayerChain;
        explicit Previous(std::shared_ptr<Node> node) : node_(std::move(node)) {}
        std::shared_ptr<Node> node_;
    };
    using LayerHandler = std::function<void(Msg&, const Previous&)>;

    // Owns one layer; destroying or resetting it unlinks the layer from its chain. It does
    // nothing once the chain has gone.
    class Layer {
    public:
        Layer() = default;
        ~Layer() { Remove(); }
        Layer(Layer&& other) noexcept : node_(std::move(other.node_)) {}
        Layer& operator=(Layer&& other) noexcept {
            if (this != &other) {
                Remove();
                node_ = std::move(other.node_);
            }
            return *this;
        }
        Layer(const Layer&) = delete;
        Layer& operator=(const Layer&) = delete;

        bool Active() const { return node_ && !node_->removed && node_->state->Alive(); }
        void Remove() {
            if (std::shared_ptr<Node> n = std::move(node_)) Node::Unlink(n);
        }
        // Whether a message of the chain this layer sits on is being dispatched right now.
        bool ChainInMessage() const { return node_ && node_->state->MessageDepth() > 0; }
        // Hands `m` to the layers beneath this one (or the base handler).
        void CallPrevious(Msg& m) const {
            if (node_) Node::PassBelow(node_, m);
        }

    private:
        friend class TLayerChain;
        explicit Layer(std::shared_ptr<Node> node) : node_(std::move(node)) {}
        std::shared_ptr<Node> node_;
    };

    explicit TLayerChain(Handler base = {}) : state_(std::make_shared<TDispatchState>()) {
        head_ = std::make_shared<Node>();
        head_->state = state_;
        head_->base = true;
        head_->handler = [base = std::move(base)](Msg& m, const Previous&) {
            if (base) base(m);
        };
        head_->owner = this;
    }
    ~TLayerChain() {
        // Layers still owned elsewhere outlive the chain; cut them loose so their handles and
        // any dispatch still on the stack see a dead chain.
        state_->MarkDead();
        for (Node* n = head_.get(); n; n = n->below.get()) n->owner = nullptr;
    }
    TLayerChain(const TLayerChain&) = delete;
    TLayerChain& operator=(const TLayerChain&) = delete;

    // Adds a layer on top: it sees every message first.
    [[nodiscard]] Layer Add(LayerHandler handler) {
        auto n = std::make_shared<Node>();
        n->state = state_;
        n->handler = std::move(handler);
        n->owner = this;
        n->below = head_;
        head_->above = n.get();
        head_ = n;
        return Layer(n);
    }
    // The same for a handler that finds the previous one through its Layer handle.
    [[nodiscard]] Layer Add(Handler handler) {
        return Add([h = std::move(handler)](Msg& m, const Previous&) { h(m); });
    }

    // Passes `m` down from the top layer.
    void Dispatch(Msg& m) {
        std::shared_ptr<TDispatchState> state = state_;
        std::shared_ptr<Node> top = head_;
        TDispatchState::Scope scope(state);
        top->Call(top, m);
    }
    void operator()(Msg& m) { Dispatch(m); }

    int LayerCount() const {
        int n = 0;
        for (Node* p = head_.get(); p && !p->base; p = p->below.get()) ++n;
        return n;
    }
    const std::shared_ptr<TDispatchState>& State() const { return state_; }
    bool InDispatch() const { return state_->InDispatch(); }
    // Runs `action` once no message is being dispatched through this chain.
    void Defer(std::function<void()> action) { state_->Defer(std::move(action)); }

private:
    struct Node {
        LayerHandler handler;
        std::shared_ptr<TDispatchState> state;
        // Links: a node owns the one beneath it, so a node unlinked during dispatch still
        // reaches the rest of the chain through `below`.
        std::shared_ptr<Node> below;
        Node* above = nullptr;
        TLayerChain* owner = nullptr;
        bool removed = false;
        bool base = false;

        void Call(const std::shared_ptr<Node>& self, Msg& m) {
            // The base handler belongs to the chain's owner: once that is gone it is not called.
            if (base && !state->Alive()) return;
            handler(m, Previous(self));
        }
        static void PassBelow(const std::shared_ptr<Node>& from, Msg& m) {
            std::shared_ptr<Node> n = from->below;
            while (n && n->removed) n = n->below;
            if (n) n->Call(n, m);
        }
        static void Unlink(const std::shared_ptr<Node>& n) {
            if (n->removed || n->base) return;
            n->removed = true;
            TLayerChain* chain = n->owner;
            n->owner = nullptr;
            if (!chain || !n->state->Alive()) return;
            if (n->above) n->above->below = n->below;
            else chain->head_ = n->below;
            if (n->below) n->below->above = n->above;
            n->above = nullptr;
            // `below` stays: a dispatch inside this layer may still pass the message on.
        }
    };

    std::shared_ptr<TDispatchState> state_;
    std::shared_ptr<Node> head_;
};

} // namespace wl
