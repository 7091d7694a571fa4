#pragma once
#include <new>
#include "foundation/Exception.h"

class Window;

// The base of every event's arguments.
class EventArgs {
public:
    virtual ~EventArgs() = default;
};

// How a control tells its owner about an event: one handler or none, called synchronously on the
// user-interface thread with the control and the arguments. Copies hold copies of the handler, so a
// control can keep the handler of a temporary holder.
template <typename Args>
class EventHandler {
public:
    class IInnerEventHandler {
    public:
        virtual ~IInnerEventHandler() = default;
        virtual void invoke(Window* sender, Args& args) = 0;
        // Null when out of memory.
        virtual IInnerEventHandler* clone() const = 0;
    };

    EventHandler() = default;
    // Takes the handler over.
    explicit EventHandler(IInnerEventHandler* handler) : inner(handler) {}
    EventHandler(const EventHandler& other) : inner(copyOf(other)) {}
    EventHandler& operator=(const EventHandler& other)
    {
        if (this != &other)
            rebind(copyOf(other));
        return *this;
    }
    ~EventHandler() { delete inner; }

    bool isBound() const { return inner != nullptr; }
    void unbind() { rebind(nullptr); }

    // Nothing without a handler; null arguments throw Exception 87.
    void raiseEvent(Window* sender, Args* args)
    {
        if (!inner)
            return;
        if (!args)
            throw Exception(ErrorCode::InvalidArgument);
        inner->invoke(sender, *args);
    }

private:
    static IInnerEventHandler* copyOf(const EventHandler& other)
    {
        if (!other.inner)
            return nullptr;
        IInnerEventHandler* copy = other.inner->clone();
        if (!copy)
            throw Exception(ErrorCode::NoMemory);
        return copy;
    }

    void rebind(IInnerEventHandler* handler)
    {
        delete inner;
        inner = handler;
    }

    IInnerEventHandler* inner = nullptr;
};

// Calls a member of the owner on every event.
template <typename Args, typename Owner>
class IInnerEventHandlerImpl : public EventHandler<Args>::IInnerEventHandler {
public:
    using Member = void (Owner::*)(Window* sender, Args& args);

    IInnerEventHandlerImpl(Owner* owner, Member member) : owner(owner), member(member) {}
    void invoke(Window* sender, Args& args) override { (owner->*member)(sender, args); }
    typename EventHandler<Args>::IInnerEventHandler* clone() const override
    {
        return new (std::nothrow) IInnerEventHandlerImpl(owner, member);
    }

private:
    Owner* owner;
    Member member;
};

// A handler that calls owner->member(sender, args). A null owner throws Exception 87.
template <typename Args, typename Owner>
EventHandler<Args> setEvent(Owner* owner, void (Owner::*member)(Window* sender, Args& args))
{
    if (!owner || !member)
        throw Exception(ErrorCode::InvalidArgument);
    auto* handler = new (std::nothrow) IInnerEventHandlerImpl<Args, Owner>(owner, member);
    if (!handler)
        throw Exception(ErrorCode::NoMemory);
    return EventHandler<Args>(handler);
}
